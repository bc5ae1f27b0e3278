# Runs the smoke program (programs/smoke.bas, built for Windows) through
# the emulator in a folder of its own, then checks what it left: the line
# file with its two lines, and the saved frame with a red and a blue square
# where it drew them; and its answer to --version.
#   cmake -DPROGRAM=<smoke.exe> -DEMULATOR=<wine> -DFOLDER=<run folder> -P run_smoke_program.cmake
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
# The line file exists but holds an old line: the write-back replaces it.
file(WRITE "${FOLDER}/smoke.txt" "old line\r\nold second line\r\nthird\r\n")
# The program works in that folder rather than its own, with the default
# font beside.
get_filename_component(program_folder "${PROGRAM}" DIRECTORY)
file(COPY "${program_folder}/Smalfont.bmp" DESTINATION "${FOLDER}")
set(ENV{KV_PROGRAM_FOLDER} .)
set(ENV{KV_WINDOWED} 1)
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" WORKING_DIRECTORY "${FOLDER}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 120)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the program ended with ${result}:\n${output}\n${errors}")
endif()

# Compared byte for byte (file(READ) as text would drop the carriage
# returns).
file(WRITE "${FOLDER}/expected.txt" "written under Windows\r\n42\r\nthird\r\n")
file(READ "${FOLDER}/expected.txt" expected HEX)
file(READ "${FOLDER}/smoke.txt" lines HEX)
if(NOT lines STREQUAL expected)
  message(FATAL_ERROR "smoke.txt holds ${lines} (hexadecimal), expected ${expected}")
endif()
file(GLOB leftovers "${FOLDER}/.~*" "${FOLDER}/*.unsaved*")
if(leftovers)
  message(FATAL_ERROR "the write-back left ${leftovers}")
endif()

# Pixels (x, y) from the top-left, as the program drew them: red, blue,
# and black around them.
include(${CMAKE_CURRENT_LIST_DIR}/bmp_probes.cmake)
kv_expect_bmp_pixels("${FOLDER}/smoke.bmp" "the frame the program saved:\n${errors}"
  50:50:0000ff 150:50:ff0000 300:50:000000 50:150:000000)
if(bmp_width LESS 200 OR bmp_height LESS 100)
  message(FATAL_ERROR "smoke.bmp is ${bmp_width} x ${bmp_height}")
endif()
# "--version" answers with the program's own name (after the module
# path's last backslash) and, having no version of its own, the runtime's.
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" --version WORKING_DIRECTORY "${FOLDER}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output TIMEOUT 60)
get_filename_component(program_name "${PROGRAM}" NAME)
if(NOT result EQUAL 0 OR NOT output MATCHES "^${program_name} \\(kvruntime [0-9.]+\\)\r?\n$")
  message(FATAL_ERROR "${program_name} --version ended with ${result} and printed \"${output}\"")
endif()
message(STATUS "smoke program: line file and frame as drawn (${bmp_width} x ${bmp_height})")
