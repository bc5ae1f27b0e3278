# High scores kept across runs on Windows: the example highscores.exe,
# started twice in a fresh folder through the emulator, enters a score each
# time into its table (a line file beside it, read with GETFILE and written
# back with PUTFILE); the second run finds the first run's entry and puts
# its own above it.
#   cmake -DPROGRAM=<highscores.exe> -DEMULATOR=<wine> -DFOLDER=<run folder> -P run_high_scores.cmake
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
get_filename_component(program_folder "${PROGRAM}" DIRECTORY)
file(COPY "${program_folder}/Smalfont.bmp" DESTINATION "${FOLDER}")
set(ENV{KV_PROGRAM_FOLDER} .)
set(ENV{KV_WINDOWED} 1)
set(ENV{KV_UNPACED} 1)
foreach(entry "Neo 5" "Zorro 800")
  separate_arguments(words UNIX_COMMAND "${entry} 3")
  execute_process(COMMAND ${EMULATOR} "${PROGRAM}" ${words} WORKING_DIRECTORY "${FOLDER}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 120)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "highscores.exe ${entry} ended with ${result}:\n${output}\n${errors}")
  endif()
endforeach()
file(READ "${FOLDER}/highscores.txt" table HEX)
file(WRITE "${FOLDER}/expected.txt" "Zorro;800\r\nNeo;5\r\n")
file(READ "${FOLDER}/expected.txt" expected HEX)
string(LENGTH "${expected}" length)
string(SUBSTRING "${table}" 0 ${length} start)
if(NOT start STREQUAL expected)
  message(FATAL_ERROR "highscores.txt begins with ${start} (hexadecimal), expected ${expected}")
endif()
message(STATUS "high scores: the second run kept the first run's entry")
