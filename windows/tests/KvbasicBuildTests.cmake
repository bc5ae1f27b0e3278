# Programs built by `kvbasic build --windows` against this build and run
# under Wine (included by windows/KvWindows.cmake): one packed into its .exe
# with --single-file, and one large enough to be compiled in parts.
if(KV_BUILD_TESTS AND KVBASIC_EXECUTABLE)
  add_test(NAME WindowsKvbasicBuildSingleFile
    COMMAND ${CMAKE_COMMAND} -DKVBASIC=${KVBASIC_EXECUTABLE} -DSDK=${CMAKE_BINARY_DIR}
            -DSOURCE=${PROJECT_SOURCE_DIR}/windows/tests/programs/single_file.bas
            -DMEDIA=${PROJECT_SOURCE_DIR}/windows/tests/programs/single_file_media
            "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" -DFOLDER=${CMAKE_BINARY_DIR}/kvbasic-single-file-run
            -P ${PROJECT_SOURCE_DIR}/windows/tests/run_single_file_program.cmake)
  add_test(NAME WindowsKvbasicBuildLargeProgram
    COMMAND ${CMAKE_COMMAND} -DKVBASIC=${KVBASIC_EXECUTABLE} -DSDK=${CMAKE_BINARY_DIR}
            "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" -DFOLDER=${CMAKE_BINARY_DIR}/kvbasic-large-run
            -P ${PROJECT_SOURCE_DIR}/windows/tests/run_large_program.cmake)
  set_tests_properties(WindowsKvbasicBuildSingleFile WindowsKvbasicBuildLargeProgram PROPERTIES TIMEOUT 300)
endif()
