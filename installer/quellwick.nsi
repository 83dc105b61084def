; The Quellwick installer: a per-user install (no administrator prompt) into
; %LOCALAPPDATA%\Programs\Quellwick, keeping the bin\ and data\ layout the program expects.
; makensis is given QW_VERSION, QW_STAGE (the build folder holding bin\ and data\),
; QW_ICON and QW_OUTFILE.

Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellwick"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Quellwick"
!define PROGRAM "$INSTDIR\bin\Quellwick.exe"
!define SHORTCUT "$SMPROGRAMS\Quellwick.lnk"

Name "Quellwick ${QW_VERSION}"
OutFile "${QW_OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quellwick"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Quellwick ${QW_VERSION}"

VIProductVersion "${QW_VERSION}.0"
VIFileVersion "${QW_VERSION}.0"
VIAddVersionKey "ProductName" "Quellwick"
VIAddVersionKey "ProductVersion" "${QW_VERSION}"
VIAddVersionKey "FileVersion" "${QW_VERSION}"
VIAddVersionKey "FileDescription" "Quellwick ${QW_VERSION} Setup"
VIAddVersionKey "CompanyName" "Quellwick"
VIAddVersionKey "LegalCopyright" "MIT licence"

Var StartAtSignIn
Var StartCheckbox

!define MUI_ICON "${QW_ICON}"
!define MUI_UNICON "${QW_ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install Quellwick ${QW_VERSION}, which puts the Moon on your desktop as it looks right now.$\r$\n$\r$\nQuellwick is installed for you alone and needs no administrator rights. If it is running, Setup closes it first; your settings are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Quellwick is installed, with a shortcut in the Start menu. While it runs, its icon sits in the notification area of the task bar."
!define MUI_FINISHPAGE_RUN "${PROGRAM}"
!define MUI_FINISHPAGE_RUN_TEXT "Run Quellwick"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Ends a running Quellwick as its Exit command does and waits for the process to end, so
; that its files can be replaced or removed.
!macro CLOSE_RUNNING_QUELLWICK un
Function ${un}CloseRunningQuellwick
  FindWindow $0 "QuellwickTrayIconWindow" "QuellwickShellIconHiddenWindow"
  ${If} $0 = 0
    Return
  ${EndIf}
  System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1) i"
  System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2"
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=10000
  ${If} $2 <> 0
    System::Call "kernel32::WaitForSingleObject(p r2, i 30000) i"
    System::Call "kernel32::CloseHandle(p r2) i"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_QUELLWICK ""
!insertmacro CLOSE_RUNNING_QUELLWICK "un."

Function .onInit
  SetShellVarContext current
  StrCpy $StartAtSignIn ${BST_CHECKED}
  ; An upgrade keeps the user's choice about starting at sign-in.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKCU "${RUN_KEY}" "Quellwick"
  ${If} $0 != ""
  ${AndIf} $1 == ""
    StrCpy $StartAtSignIn ${BST_UNCHECKED}
  ${EndIf}
FunctionEnd

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "Options" "Choose how Quellwick starts."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 12u "Start Quellwick when I sign in"
  Pop $StartCheckbox
  ${NSD_SetState} $StartCheckbox $StartAtSignIn
  ${NSD_CreateLabel} 0 24u 100% 40u "Quellwick will be installed in $INSTDIR, with a shortcut in the Start menu. You can change this option later by running Setup again."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $StartCheckbox $StartAtSignIn
FunctionEnd

Section "Quellwick"
  SetShellVarContext current
  Call CloseRunningQuellwick

  ; An upgrade replaces every file of ours; the settings live in the registry and stay.
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\data"
  SetOutPath "$INSTDIR\bin"
  File "${QW_STAGE}/bin/Quellwick.exe"
  SetOutPath "$INSTDIR\data"
  File /r "${QW_STAGE}/data/*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetOutPath "$INSTDIR\bin"
  CreateShortcut "${SHORTCUT}" "${PROGRAM}" "" "${PROGRAM}" 0

  ${If} $StartAtSignIn == ${BST_CHECKED}
    WriteRegStr HKCU "${RUN_KEY}" "Quellwick" '"${PROGRAM}"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "Quellwick"
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quellwick"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${QW_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quellwick"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"${PROGRAM}",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Gives back the wallpaper the user had before Quellwick, which the program recorded in its
; settings, when that file still exists and the desktop still shows Quellwick's picture.
; Quellwick's picture is deleted once the desktop no longer shows it.
Function un.RestoreWallpaper
  ReadRegStr $0 HKCU "${SETTINGS_KEY}" "PreviousWallpaper"
  ReadRegStr $1 HKCU "Control Panel\Desktop" "Wallpaper"
  ${GetFileName} "$1" $2
  ${If} $2 == "Quellwick.bmp"
  ${AndIf} $0 != ""
  ${AndIf} ${FileExists} "$0"
    System::Call "user32::SystemParametersInfo(i 20, i 0, t r0, i 3) i"
    ReadRegStr $1 HKCU "Control Panel\Desktop" "Wallpaper"
    ${GetFileName} "$1" $2
  ${EndIf}
  ${If} $2 != "Quellwick.bmp"
    Delete "$WINDIR\Quellwick.bmp"
    Delete "$LOCALAPPDATA\Quellwick\Quellwick.bmp"
    RMDir "$LOCALAPPDATA\Quellwick"
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.CloseRunningQuellwick
  Call un.RestoreWallpaper
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "Quellwick"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove your Quellwick settings as well?" /SD IDNO IDNO keep_settings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
keep_settings:
  ; The folder goes last: its disappearance tells that the uninstall is complete.
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\data"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
