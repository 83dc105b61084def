# Lists the staged layout (bin/Quellwick.exe and everything under data/) for the installer,
# at build time, since the Moon pictures are made by the build:
#   cmake -DSTAGE=<build folder> -DFILES=<NSIS include> -DRECORD=<record> -P list_staged_files.cmake
# FILES gets a SetOutPath/File line pair per folder and file. RECORD is the record of an
# install that the installer leaves beside the uninstaller: one path below the install folder
# a line, the files first, then their folders with a trailing backslash, deepest first, so
# that removing the lines in order leaves only folders that still hold something else.
file(GLOB_RECURSE staged LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/bin/Quellwick.exe ${STAGE}/data/*)
list(SORT staged)
set(files "")
set(record "")
set(folders "")
set(outPath "")
foreach(file IN LISTS staged)
  get_filename_component(folder ${file} DIRECTORY)
  if(NOT folder STREQUAL outPath)
    string(REPLACE "/" "\\" windowsFolder "${folder}")
    string(APPEND files "SetOutPath \"$INSTDIR\\${windowsFolder}\"\n")
    set(outPath ${folder})
  endif()
  string(REPLACE "$" "$$" source "${STAGE}/${file}")
  string(APPEND files "File \"${source}\"\n")
  string(REPLACE "/" "\\" windowsFile "${file}")
  string(APPEND record "${windowsFile}\r\n")
  while(folder)
    list(APPEND folders ${folder})
    get_filename_component(folder ${folder} DIRECTORY)
  endwhile()
endforeach()
# A folder sorts after each folder that holds it.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
  string(REPLACE "/" "\\" windowsFolder "${folder}")
  string(APPEND record "${windowsFolder}\\\r\n")
endforeach()
file(WRITE ${FILES} "${files}")
file(WRITE ${RECORD} "${record}")
