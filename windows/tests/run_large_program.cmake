# `kvbasic build --windows` of a generated program of more than 20,000
# statements: it is compiled from several C++ files (the compiler's log,
# kept through a wrapper around the SDK's cross compiler, names each part)
# and run. Its last statement line raises runtime error 9 only when every
# statement before it ran once, in order; the error names that line.
#   cmake -DKVBASIC=<native kvbasic> -DSDK=<Windows build> -DEMULATOR=<wine> -DFOLDER=<run folder>
#         -P run_large_program.cmake
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")

# 2,300 blocks of 10 statements: a loop, IF ... ELSE, a GOTO over a line
# that must not run, a label and a call of a SUB.
set(program "' A long program, generated: its last line fails when every line ran once, in order.\n")
string(APPEND program "KV_RESX = 64\nKV_RESY = 64\nKV_FULLSCREEN = 0\ntotal = 0\nDIM a[10]\n")
set(line 6)
set(total 0)
foreach(block RANGE 1 2300)
  string(APPEND program "FOR i = 1 TO 3\n    total = total + i\nNEXT\n"
                        "IF total > 0 THEN total = total + 2 ELSE total = total - 1\n"
                        "GOTO skip${block}\ntotal = total + 1000000\nskip${block}:\nAddOne\n")
  math(EXPR line "${line} + 8")
endforeach()
math(EXPR total "2300 * 9")
set(error_text "IF total = ${total} THEN a[100] = 1")
string(APPEND program "${error_text}\nEND\nSUB AddOne\n    total = total + 1\nENDSUB\n")
file(WRITE "${FOLDER}/large.bas" "${program}")

# The SDK as it is, but with a compiler that notes what it compiles.
file(STRINGS "${SDK}/windows_toolchain.txt" settings)
set(description "")
foreach(setting ${settings})
  if(setting MATCHES "^compiler=(.*)$")
    set(compiler "${CMAKE_MATCH_1}")
    set(setting "compiler=${FOLDER}/compiler")
  endif()
  string(APPEND description "${setting}\n")
endforeach()
file(MAKE_DIRECTORY "${FOLDER}/sdk")
file(WRITE "${FOLDER}/sdk/windows_toolchain.txt" "${description}")
file(WRITE "${FOLDER}/compiler" "#!/bin/sh\necho \"$*\" >> '${FOLDER}/compiled.txt'\nexec '${compiler}' \"$@\"\n")
file(CHMOD "${FOLDER}/compiler" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

set(output "${FOLDER}/build")
execute_process(COMMAND "${KVBASIC}" build "${FOLDER}/large.bas" --windows -O0 --sdk "${FOLDER}/sdk" -o "${output}"
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kvbasic build --windows of large.bas ended with ${result}:\n${errors}")
endif()
file(STRINGS "${FOLDER}/compiled.txt" compiled REGEX " -c ")
list(LENGTH compiled compilations)
if(compilations LESS 3 OR NOT compiled MATCHES "large_part2\\.cpp")
  message(FATAL_ERROR "large.bas was compiled in ${compilations} files, expected the program and two parts or more:\n"
                      "${compiled}")
endif()

set(ENV{KV_WINDOWED} 1)
set(ENV{KV_NO_MESSAGEBOX} 1)
execute_process(COMMAND ${EMULATOR} "${output}/large.exe" WORKING_DIRECTORY "${FOLDER}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 120)
math(EXPR error_line "${line} + 1")
string(REPLACE "\r" "" errors "${errors}")
string(FIND "${errors}" "large.bas:${error_line}: runtime error 9: array index out of bounds\n${error_text}\n" at)
if(NOT result EQUAL 1 OR at LESS 0)
  message(FATAL_ERROR "large.exe ended with ${result}, expected runtime error 9 on line ${error_line}:\n"
                      "${output}\n${errors}")
endif()
message(STATUS "large program: built from ${compilations} files, ran every line once")
