# The player's zip of Zorvelin: unpacked into a fresh folder by a reader of
# its own (Python's zipfile), it holds one folder with the program, its
# media, the default font, README.txt and LICENSE.txt and nothing else; the
# program imports only Windows' own DLLs; played from there through the
# emulator for a few seconds of level 1 (a flag taken), it draws moving
# frames, plays the music and the pick-up, writes what is wrong with its
# input script on stderr (a program for the desktop still has its standard
# handles when started with them) and leaves its error log in the
# temporary folder. The single-file game, alone in a folder, plays the
# same frames from the media inside itself and leaves no unpacked file
# behind.
#   cmake -DZIP=<zip> -DNAME=<folder in the zip> -DSINGLE_FILE=<zorvelin_packed.exe> -DOBJDUMP=<objdump>
#         -DEMULATOR=<wine> -DFOLDER=<run folder> -P run_game_zip.cmake
include(${CMAKE_CURRENT_LIST_DIR}/game_runs.cmake)

file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}/unpacked")
execute_process(COMMAND python3 -m zipfile -e "${ZIP}" "${FOLDER}/unpacked" RESULT_VARIABLE result
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${ZIP} does not unpack: ${errors}")
endif()
file(GLOB_RECURSE unpacked RELATIVE "${FOLDER}/unpacked" "${FOLDER}/unpacked/*")
list(SORT unpacked)
set(expected)
foreach(name LICENSE.txt README.txt Smalfont.bmp berge.bmp einsammeln.wav flagge.bmp font.bmp fontklein.bmp
             gefangen.wav himmel.bmp katze_links.bmp katze_rechts.bmp land.bmp musik.wav sonne.bmp vogel_0.bmp
             vogel_1.bmp vogel_2.bmp vogel_3.bmp wachmann.bmp zorvelin.exe)
  list(APPEND expected "${NAME}/${name}")
endforeach()
if(NOT unpacked STREQUAL expected)
  message(FATAL_ERROR "${ZIP} holds\n  ${unpacked}\nnot\n  ${expected}")
endif()
set(game "${FOLDER}/unpacked/${NAME}/zorvelin.exe")
file(READ "${FOLDER}/unpacked/${NAME}/README.txt" readme HEX LIMIT 400)
if(NOT readme MATCHES "0d0a")
  message(FATAL_ERROR "README.txt has no Windows line ends")
endif()

# The DLLs it imports are Windows' own.
execute_process(COMMAND "${OBJDUMP}" -p "${game}" OUTPUT_VARIABLE imports RESULT_VARIABLE result)
string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${imports}")
list(LENGTH dlls dll_count)
if(NOT result EQUAL 0 OR dll_count EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${game} ended with ${result} and names no DLL")
endif()
foreach(dll ${dlls})
  string(REPLACE "DLL Name: " "" dll "${dll}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|imm32|version|setupapi|winmm|opengl32|ws2_32|bcrypt|msvcrt|cfgmgr32|rpcrt4|shlwapi|dwmapi|uxtheme)\\.dll$")
    message(FATAL_ERROR "zorvelin.exe imports ${dll}, which is not one of Windows' own DLLs")
  endif()
endforeach()

# Easy, the Level 1 screen, then the route's first frames (the first flag
# in frame 13 of the level, frame 38 of the run) and Escape in frame 60. The
# entry of frame 3 is malformed on purpose.
set(script "3 wiggle\n10 key 2 down\n12 key 2 up\n20 key 57 down\n25 key 57 up\n")
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../../tests/game/data/level1_route.txt" route_lines)
foreach(line IN LISTS route_lines)
  if(line MATCHES "^([0-9]+) (.+)$" AND CMAKE_MATCH_1 LESS 30)
    math(EXPR frame "25 + ${CMAKE_MATCH_1}")
    string(APPEND script "${frame} ${CMAKE_MATCH_2}\n")
  endif()
endforeach()
string(APPEND script "60 key 1 down\n")

kv_play_game(zip "${game}" "${EMULATOR}" "${script}")
if(NOT zip_stderr MATCHES "input script line 1: ")
  message(FATAL_ERROR "zorvelin.exe said nothing about the malformed script line on stderr:\n${zip_stderr}")
endif()
# Escape in the level's frame: the end on its SHOWSCREEN line.
kv_expect_clean_end(zip 149)
file(STRINGS "${FOLDER}/zip/sums.txt" sums)
list(LENGTH sums frames)
set(distinct ${sums})
list(REMOVE_DUPLICATES distinct)
list(LENGTH distinct distinct_count)
if(frames LESS 60 OR distinct_count LESS 30)
  message(FATAL_ERROR "zorvelin.exe presented ${frames} frames, ${distinct_count} of them distinct")
endif()
# The music with the level's first frame, the pick-up with the first flag.
file(READ "${FOLDER}/zip/sounds.txt" sounds)
if(NOT sounds MATCHES "^25 play [0-9]+ [0-9]+ once\n38 play [0-9]+ [0-9]+ once\n")
  message(FATAL_ERROR "the sound log has not the music in frame 25 and a pick-up in frame 38:\n${sounds}")
endif()
kv_expect_audible(zip)

# The single-file game alone in a folder.
file(MAKE_DIRECTORY "${FOLDER}/single-file-game")
file(COPY "${SINGLE_FILE}" DESTINATION "${FOLDER}/single-file-game")
get_filename_component(single_name "${SINGLE_FILE}" NAME)
kv_play_game(single "${FOLDER}/single-file-game/${single_name}" "${EMULATOR}" "${script}")
kv_expect_clean_end(single 149)
file(STRINGS "${FOLDER}/single/sums.txt" single_sums)
if(NOT single_sums STREQUAL sums)
  message(FATAL_ERROR "the single-file game's frames differ from those of the game with its media beside it")
endif()
file(GLOB left RELATIVE "${FOLDER}/single/tmp" "${FOLDER}/single/tmp/*")
if(NOT left STREQUAL "ErrorLog.txt")
  message(FATAL_ERROR "the single-file game left ${left} in its temporary folder")
endif()
message(STATUS "${NAME}.zip: ${frames} frames played from the unpacked folder, the same by the single-file game")
