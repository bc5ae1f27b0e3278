# `kvbasic build --windows --single-file` of programs/single_file.bas: the
# folder it makes holds the .exe alone. Copied alone into a fresh folder
# and started from another working directory by a path with a drive letter
# and backslashes, the program finds its picture, sound and line file in
# the archive inside itself: it writes the line it read and the frame with
# the picture beside itself, and the sound log shows the sound's length.
#   cmake -DKVBASIC=<native kvbasic> -DSDK=<Windows build> -DSOURCE=<single_file.bas> -DMEDIA=<folder>
#         -DEMULATOR=<wine> -DFOLDER=<run folder> -P run_single_file_program.cmake
file(REMOVE_RECURSE "${FOLDER}")
set(output "${FOLDER}/build")
execute_process(COMMAND "${KVBASIC}" build "${SOURCE}" --windows --single-file --sdk "${SDK}" --media "${MEDIA}"
                        -o "${output}"
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kvbasic build --windows --single-file ended with ${result}:\n${errors}")
endif()
get_filename_component(name "${SOURCE}" NAME_WE)
file(GLOB built RELATIVE "${output}" "${output}/*")
if(NOT built STREQUAL "${name}.exe")
  message(FATAL_ERROR "kvbasic build --windows --single-file left \"${built}\" in ${output}, expected ${name}.exe alone")
endif()

set(alone "${FOLDER}/only the program")
set(elsewhere "${FOLDER}/elsewhere")
file(MAKE_DIRECTORY "${alone}" "${elsewhere}")
file(COPY "${output}/${name}.exe" DESTINATION "${alone}")
# Wine's drive Z: is the root of the Linux file system.
string(REPLACE "/" "\\" program "Z:${alone}/${name}.exe")
unset(ENV{KV_PROGRAM_FOLDER})
set(ENV{KV_WINDOWED} 1)
set(ENV{KV_NO_MESSAGEBOX} 1)
# Counted from the folder the program was started in.
set(ENV{KV_SOUND_LOG} sounds.txt)
execute_process(COMMAND ${EMULATOR} "${program}" WORKING_DIRECTORY "${elsewhere}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 120)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${program} ended with ${result}:\n${output}\n${errors}")
endif()

set(found "${alone}/found.txt")
if(NOT EXISTS "${found}")
  message(FATAL_ERROR "the program wrote no found.txt beside itself:\n${errors}")
endif()
file(READ "${found}" line HEX)
file(WRITE "${FOLDER}/expected.txt" "found in the archive\r\n")
file(READ "${FOLDER}/expected.txt" expected HEX)
if(NOT line STREQUAL expected)
  message(FATAL_ERROR "found.txt holds ${line} (hexadecimal), expected ${expected}: words.txt not read from the archive\n${errors}")
endif()

file(READ "${elsewhere}/sounds.txt" sounds)
# blip.wav: 1000 sample frames at the mixer's rate.
if(NOT sounds MATCHES "^[0-9]+ play [0-9]+ 1000 once\n$")
  message(FATAL_ERROR "the sound log holds \"${sounds}\", expected blip.wav's 1000 frames played once\n${errors}")
endif()

# A 24-bit BMP: pixel data from the offset at byte 10, rows bottom-up, each
# padded to four bytes, pixels blue-green-red.
set(picture "${alone}/found.bmp")
if(NOT EXISTS "${picture}")
  message(FATAL_ERROR "no found.bmp beside the program:\n${errors}")
endif()
function(read_number offset length variable)
  file(READ "${picture}" hex OFFSET ${offset} LIMIT ${length} HEX)
  set(value 0)
  foreach(i RANGE 1 ${length})
    math(EXPR start "2 * (${i} - 1)")
    string(SUBSTRING "${hex}" ${start} 2 byte)
    math(EXPR value "${value} + (0x${byte} << (8 * (${i} - 1)))")
  endforeach()
  set(${variable} ${value} PARENT_SCOPE)
endfunction()
read_number(10 4 data)
read_number(18 4 width)
read_number(22 4 height)
math(EXPR row_bytes "((${width} * 3 + 3) / 4) * 4")
# The 16 x 16 green picture drawn at (40, 40), black around it.
foreach(probe "40;40;00ff00" "55;55;00ff00" "39;48;000000" "56;48;000000")
  list(GET probe 0 x)
  list(GET probe 1 y)
  list(GET probe 2 expected)
  math(EXPR at "${data} + (${height} - 1 - ${y}) * ${row_bytes} + ${x} * 3")
  file(READ "${picture}" pixel OFFSET ${at} LIMIT 3 HEX)
  if(NOT pixel STREQUAL expected)
    message(FATAL_ERROR "pixel ${x}, ${y} of found.bmp is ${pixel} (blue, green, red), expected ${expected}: "
                        "green.bmp not drawn from the archive")
  endif()
endforeach()
file(GLOB beside RELATIVE "${alone}" "${alone}/*")
list(SORT beside)
if(NOT beside STREQUAL "found.bmp;found.txt;${name}.exe")
  message(FATAL_ERROR "beside the program now: \"${beside}\"; the media were to stay inside it")
endif()
message(STATUS "single-file program: picture, sound and line file found inside ${name}.exe")
