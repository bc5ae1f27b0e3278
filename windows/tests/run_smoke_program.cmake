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

# A 24-bit BMP: pixel data from the offset at byte 10, rows bottom-up, each
# padded to four bytes, pixels blue-green-red.
set(picture "${FOLDER}/smoke.bmp")
if(NOT EXISTS "${picture}")
  message(FATAL_ERROR "no smoke.bmp:\n${errors}")
endif()
function(read_number offset length variable)
  file(READ "${picture}" hex OFFSET ${offset} LIMIT ${length} HEX)
  set(value 0)
  foreach(i RANGE ${length})
    if(i EQUAL length)
      break()
    endif()
    math(EXPR start "2 * ${i}")
    string(SUBSTRING "${hex}" ${start} 2 byte)
    math(EXPR value "${value} + (0x${byte} << (8 * ${i}))")
  endforeach()
  set(${variable} ${value} PARENT_SCOPE)
endfunction()
read_number(10 4 data)
read_number(18 4 width)
read_number(22 4 height)
read_number(28 2 bits)
if(NOT bits EQUAL 24 OR width LESS 200 OR height LESS 100)
  message(FATAL_ERROR "smoke.bmp is ${width} x ${height} at ${bits} bits")
endif()
math(EXPR row_bytes "((${width} * 3 + 3) / 4) * 4")
# Pixels (x, y) from the top-left, as the program drew them: red, blue,
# and black around them.
foreach(probe "50;50;0000ff" "150;50;ff0000" "300;50;000000" "50;150;000000")
  list(GET probe 0 x)
  list(GET probe 1 y)
  list(GET probe 2 expected)
  math(EXPR at "${data} + (${height} - 1 - ${y}) * ${row_bytes} + ${x} * 3")
  file(READ "${picture}" pixel OFFSET ${at} LIMIT 3 HEX)
  # expected as the file keeps it: blue, green, red.
  if(NOT pixel STREQUAL expected)
    message(FATAL_ERROR "pixel ${x}, ${y} of smoke.bmp is ${pixel} (blue, green, red), expected ${expected}")
  endif()
endforeach()
# "--version" answers with the program's own name (after the module
# path's last backslash) and, having no version of its own, the runtime's.
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" --version WORKING_DIRECTORY "${FOLDER}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output TIMEOUT 60)
get_filename_component(program_name "${PROGRAM}" NAME)
if(NOT result EQUAL 0 OR NOT output MATCHES "^${program_name} \\(kvruntime [0-9.]+\\)\r?\n$")
  message(FATAL_ERROR "${program_name} --version ended with ${result} and printed \"${output}\"")
endif()
message(STATUS "smoke program: line file and frame as drawn (${width} x ${height})")
