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

# The 16 x 16 green picture drawn at (40, 40), black around it.
include(${CMAKE_CURRENT_LIST_DIR}/bmp_probes.cmake)
kv_expect_bmp_pixels("${alone}/found.bmp" "green.bmp not drawn from the archive:\n${errors}"
  40:40:00ff00 55:55:00ff00 39:48:000000 56:48:000000)
file(GLOB beside RELATIVE "${alone}" "${alone}/*")
list(SORT beside)
if(NOT beside STREQUAL "found.bmp;found.txt;${name}.exe")
  message(FATAL_ERROR "beside the program now: \"${beside}\"; the media were to stay inside it")
endif()
message(STATUS "single-file program: picture, sound and line file found inside ${name}.exe")
