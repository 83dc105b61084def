# The floors of the program and the check that keeps them. Every library of the program
# is made with qw_add_library, which records its floor (1 the portable core, 2 the Win32
# ground floor, 3 services, 4 windows, 5 the program) and lists its headers with its
# sources. qw_check_layers, called once at the end of the top-level file, writes each
# library's files and what it may include to a manifest; a build step then fails when
#  - a file includes a header of a library that its own library does not link (directly
#    or through the libraries it links),
#  - a file includes a header of the program that belongs to no library,
#  - a library links a library of a higher floor, or a portable library links one that
#    is not portable,
#  - a file of a portable library includes a Windows header.

# qw_add_library(<name> FLOOR <1-5> [PORTABLE] [INTERFACE] <sources and headers>...)
function(qw_add_library target)
  cmake_parse_arguments(PARSE_ARGV 1 QW "PORTABLE;INTERFACE" "FLOOR" "")
  if(NOT QW_FLOOR MATCHES "^[1-5]$")
    message(FATAL_ERROR "qw_add_library(${target}): FLOOR must be 1 to 5")
  endif()
  if(QW_INTERFACE)
    add_library(${target} INTERFACE ${QW_UNPARSED_ARGUMENTS})
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
  else()
    add_library(${target} STATIC ${QW_UNPARSED_ARGUMENTS})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    qw_target_defaults(${target})
  endif()
  set_target_properties(${target} PROPERTIES QW_FLOOR ${QW_FLOOR} QW_PORTABLE "${QW_PORTABLE}")
  set_property(GLOBAL APPEND PROPERTY QW_LIBRARIES ${target})
endfunction()

# The libraries of the program that `target` links, directly or through other libraries.
function(_qw_link_closure target out)
  set(closure)
  set(pending ${target})
  get_property(libraries GLOBAL PROPERTY QW_LIBRARIES)
  while(pending)
    list(POP_FRONT pending current)
    get_target_property(type ${current} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND links ${interface})
    endif()
    foreach(link IN LISTS links)
      if(link IN_LIST libraries AND NOT link IN_LIST closure)
        list(APPEND closure ${link})
        list(APPEND pending ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} ${closure} PARENT_SCOPE)
endfunction()

function(qw_check_layers)
  get_property(libraries GLOBAL PROPERTY QW_LIBRARIES)
  set(manifest "set(QW_ROOT \"${PROJECT_SOURCE_DIR}\")\nset(QW_LIBRARIES \"${libraries}\")\n")
  set(all_files)
  foreach(library IN LISTS libraries)
    get_target_property(source_dir ${library} SOURCE_DIR)
    get_target_property(sources ${library} SOURCES)
    set(files)
    foreach(source IN LISTS sources)
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE OUTPUT_VARIABLE path)
      if(path MATCHES "\\.(h|cpp)$")
        list(APPEND files ${path})
      endif()
    endforeach()
    list(APPEND all_files ${files})

    get_target_property(floor ${library} QW_FLOOR)
    get_target_property(portable ${library} QW_PORTABLE)
    _qw_link_closure(${library} allowed)
    foreach(link IN LISTS allowed)
      get_target_property(link_floor ${link} QW_FLOOR)
      get_target_property(link_portable ${link} QW_PORTABLE)
      if(link_floor GREATER floor)
        message(FATAL_ERROR "Layers: ${library} (floor ${floor}) links ${link} of floor ${link_floor} above it")
      endif()
      if(portable AND NOT link_portable)
        message(FATAL_ERROR "Layers: the portable library ${library} links ${link}, which is not portable")
      endif()
    endforeach()
    string(APPEND manifest "set(QW_FILES_${library} \"${files}\")\n"
                           "set(QW_ALLOWED_${library} \"${library};${allowed}\")\n"
                           "set(QW_PORTABLE_${library} \"${portable}\")\n")
  endforeach()

  set(manifest_file ${CMAKE_BINARY_DIR}/quellwick_layers.cmake)
  file(GENERATE OUTPUT ${manifest_file} CONTENT "${manifest}")
  set(stamp ${CMAKE_BINARY_DIR}/quellwick_layers.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DQW_MANIFEST=${manifest_file} -P ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${all_files} ${manifest_file} ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
    COMMENT "Checking the includes against the floors"
    VERBATIM)
  add_custom_target(quellwick_layers DEPENDS ${stamp})
  foreach(library IN LISTS libraries)
    add_dependencies(${library} quellwick_layers)
  endforeach()
endfunction()
