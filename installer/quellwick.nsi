; The Quellwick installer: a per-user install (no administrator prompt) into
; %LOCALAPPDATA%\Programs\Quellwick, keeping the bin\ and data\ layout the program expects.
; makensis is given QW_VERSION, QW_FILES (the File lines of the staged layout), QW_RECORD
; (the record of an install, which lists the same files), QW_ICON and QW_OUTFILE; the build
; makes both lists from the staged layout (list_staged_files.cmake).

Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include TextFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellwick"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Quellwick"
!define PROGRAM "$INSTDIR\bin\Quellwick.exe"
!define SHORTCUT "$SMPROGRAMS\Quellwick.lnk"
!define RECORD "installed_files.txt"

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

; Removes what the record of the install in $INSTDIR names, in its order: each file, and each
; folder (a line that ends in a backslash) once it is empty. Everything else stays: the
; folder may hold the user's own files.
!macro REMOVE_RECORDED_FILES un
Function ${un}RemoveRecordedFiles
  ClearErrors
  FileOpen $0 "$INSTDIR\${RECORD}" r
  ${If} ${Errors}
    Return
  ${EndIf}
  ${Do}
    ; A folder that stays sets the error flag.
    ClearErrors
    FileRead $0 $1
    ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
    ${TrimNewLines} $1 $1
    StrCpy $2 $1 1 -1
    ${If} $2 == "\"
      StrCpy $1 $1 -1
      RMDir "$INSTDIR\$1"
    ${ElseIf} $1 != ""
      Delete "$INSTDIR\$1"
    ${EndIf}
  ${Loop}
  FileClose $0
  Delete "$INSTDIR\${RECORD}"
FunctionEnd
!macroend
!insertmacro REMOVE_RECORDED_FILES ""
!insertmacro REMOVE_RECORDED_FILES "un."

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

  ; An upgrade first removes the files that the version before recorded, so that none the new
  ; one lacks is left; the settings live in the registry and stay.
  Call RemoveRecordedFiles
  !include "${QW_FILES}"
  SetOutPath "$INSTDIR"
  File "/oname=${RECORD}" "${QW_RECORD}"
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

; Gives back the wallpaper the user had before Quellwick, as the program recorded it in its
; settings (the picture and how it was placed, or no picture: an empty path), when the
; desktop still shows Quellwick's picture; a recorded picture since deleted gives no picture.
; Quellwick's picture goes in every case, and so does the copy the program kept of a picture
; that Windows held, unless it is the wallpaper again.
Function un.RestoreWallpaper
  ReadRegStr $1 HKCU "Control Panel\Desktop" "Wallpaper"
  ${GetFileName} "$1" $2
  ClearErrors
  ReadRegStr $0 HKCU "${SETTINGS_KEY}" "PreviousWallpaper"
  ${If} $2 == "Quellwick.bmp"
  ${AndIfNot} ${Errors}
    ${IfNot} ${FileExists} "$0"
      StrCpy $0 ""
    ${EndIf}
    ReadRegStr $3 HKCU "${SETTINGS_KEY}" "PreviousWallpaperStyle"
    ReadRegStr $4 HKCU "${SETTINGS_KEY}" "PreviousTileWallpaper"
    ${IfNot} ${Errors}
      WriteRegStr HKCU "Control Panel\Desktop" "WallpaperStyle" $3
      WriteRegStr HKCU "Control Panel\Desktop" "TileWallpaper" $4
    ${EndIf}
    System::Call "user32::SystemParametersInfo(i 20, i 0, t r0, i 3) i"
    ReadRegStr $1 HKCU "Control Panel\Desktop" "Wallpaper"
  ${EndIf}
  Delete "$WINDIR\Quellwick.bmp"
  Delete "$LOCALAPPDATA\Quellwick\Quellwick.bmp"
  ${GetParent} "$0" $2
  ${If} $2 == "$LOCALAPPDATA\Quellwick"
  ${AndIf} $0 != $1
    Delete "$0"
  ${EndIf}
  RMDir "$LOCALAPPDATA\Quellwick"
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
  ; The uninstaller goes next to last (its disappearance tells that the uninstall is
  ; complete), then the folder, if nothing else is left in it.
  Call un.RemoveRecordedFiles
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
