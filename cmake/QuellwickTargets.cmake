# Settings every Quellwick target shares: strict warnings as errors, static Windows
# binaries, and sanitizers on the native build's code and tests.
option(QW_SANITIZE "Build native code with AddressSanitizer and UBSan" ON)

# What a program of this build puts before a path of the build machine to reach it: Windows
# programs run under Wine, which shows the machine's files as drive Z:.
if(WIN32)
  set(QW_HOST_DRIVE "Z:")
else()
  set(QW_HOST_DRIVE "")
endif()

function(qw_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnull-dereference -Werror)
  if(WIN32)
    target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  elseif(QW_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A GoogleTest program. Under a cross build, ctest runs it through the Wine emulator.
# TEST_PROPERTIES are added to each of its tests (for example a RESOURCE_LOCK).
function(qw_add_test_program target)
  cmake_parse_arguments(PARSE_ARGV 1 QW "" "" "TEST_PROPERTIES")
  add_executable(${target} ${QW_UNPARSED_ARGUMENTS})
  qw_target_defaults(${target})
  target_link_libraries(${target} PRIVATE GTest::gtest_main)
  if(WIN32)
    target_link_options(${target} PRIVATE -mconsole)
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300
    PROPERTIES TIMEOUT 300 ${QW_TEST_PROPERTIES})
endfunction()
