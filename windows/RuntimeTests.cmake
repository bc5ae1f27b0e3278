# The runtime's own tests (tests/) in the Windows build, run by ctest
# through Wine as the Windows platform's tests are. tests/CMakeLists.txt
# builds them as on Linux, one test program per folder and the programs the
# end-to-end tests start; this file tells it what differs here:
#
# - windows/tests_left_out.txt names the folders, sources and single tests
#   that cannot run on Windows, each with its reason. Folders and sources are
#   not built; single tests are ignored by ctest (CTestCustom.cmake).
# - The tests find the build and the sources under Wine's drive Z:, the
#   root of the Linux file system, from whatever folder they work in.
# - support/windows_child_process.cpp starts child processes, and
#   support/windows_posix_compat.h (included before every source) gives the
#   tests setenv, unsetenv and mkdtemp.
file(STRINGS ${PROJECT_SOURCE_DIR}/windows/tests_left_out.txt kv_left_out REGEX "^[^# \t]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/windows/tests_left_out.txt)
set(KV_TESTS_LEFT_OUT_FOLDERS)
set(KV_TESTS_LEFT_OUT_SOURCES)
set(kv_tests_ignored)
foreach(line IN LISTS kv_left_out)
  string(REGEX MATCH "^[^ \t]+" entry "${line}")
  if(entry MATCHES "^(.+)/$")
    list(APPEND KV_TESTS_LEFT_OUT_FOLDERS ${CMAKE_MATCH_1})
  elseif(entry MATCHES "\\.cpp$")
    list(APPEND KV_TESTS_LEFT_OUT_SOURCES ${entry})
  else()
    list(APPEND kv_tests_ignored ${entry})
  endif()
endforeach()

# Under Wine a test program now and then does not end after its test has
# passed (about once in a run, a different test each time): a short limit,
# and scripts/test-windows runs a test that ran out of time once more.
set(KV_TEST_TIMEOUT 90)
set(KV_TEST_BUILD_DIR "Z:${CMAKE_BINARY_DIR}")
set(KV_TEST_SOURCE_DIR "Z:${PROJECT_SOURCE_DIR}")
set(KV_TEST_SUPPORT_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/windows_child_process.cpp)
# GCC 12 at -O3 (this build's Release) also takes a vector's resize in the
# archive tests for an overflow, a false positive like those
# tests/CMakeLists.txt already silences.
set(KV_TEST_COMPILE_OPTIONS -include ${PROJECT_SOURCE_DIR}/tests/support/windows_posix_compat.h
  -Wno-array-bounds)
add_subdirectory(${PROJECT_SOURCE_DIR}/tests ${CMAKE_BINARY_DIR}/tests)

# The frame counter of the drawing tests stands in front of the video
# library's buffer swap, which is linked statically here.
if(TARGET test_gfx)
  target_link_options(test_gfx PRIVATE -Wl,--wrap=SDL_GL_SwapWindow)
endif()

# The default font beside the test programs and the programs they start.
foreach(folder ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/tests)
  configure_file(${PROJECT_SOURCE_DIR}/media/runtime/Smalfont.bmp ${folder}/Smalfont.bmp COPYONLY)
endforeach()

# scripts/test-windows builds them all through this target.
add_custom_target(runtime_tests DEPENDS ${KV_TEST_TARGETS})

list(JOIN kv_tests_ignored "\" \"" kv_tests_ignored)
file(WRITE ${CMAKE_BINARY_DIR}/CTestCustom.cmake
  "# Written by windows/RuntimeTests.cmake from windows/tests_left_out.txt.\n"
  "set(CTEST_CUSTOM_TESTS_IGNORE \"${kv_tests_ignored}\")\n")
