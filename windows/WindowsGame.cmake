# Zorvelin for Windows: the game translated by the native kvbasic and built
# as a Windows program, build-windows/game/zorvelin.exe, with its media and
# the default font beside it, and the single-file game
# build-windows/zorvelin_packed.exe (the media appended as an archive, which
# the runtime finds through the program's own path). Included from
# KvWindows.cmake; needs -DKVBASIC_EXECUTABLE=<native build>/kvbasic.
#
# The native build that kvbasic comes from (KV_HOST_BUILD, by default the
# folder of KVBASIC_EXECUTABLE) also lends its archive packer, and its game
# (KV_HOST_BUILD/game/zorvelin) is what the test under Wine compares the
# Windows game's frames with.
if(NOT KVBASIC_EXECUTABLE)
  return()
endif()
get_filename_component(kv_default_host_build "${KVBASIC_EXECUTABLE}" DIRECTORY)
set(KV_HOST_BUILD "${kv_default_host_build}" CACHE PATH
  "The native build of this tree whose kvbasic, shoebox_pack and game the Windows build uses")

include(${PROJECT_SOURCE_DIR}/tools/KvBasic.cmake)
kv_add_basic_program(zorvelin SOURCES ${PROJECT_SOURCE_DIR}/game/zorvelin.bas LIBRARY zorvelin_game
  VERSION ${PROJECT_VERSION})
set(kv_game_folder ${CMAKE_BINARY_DIR}/game)
# A program for the Windows desktop: started from Explorer it opens no
# console window. Given a pipe or a file as standard handles (a test, Wine
# from a shell, "zorvelin.exe --version > file"), it still writes to them.
set_target_properties(zorvelin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${kv_game_folder})
target_link_options(zorvelin PRIVATE -mwindows)

# The media, loaded by name from the program's folder.
file(GLOB kv_game_media CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/game/media/*)
foreach(file ${kv_game_media} ${PROJECT_SOURCE_DIR}/media/runtime/Smalfont.bmp)
  get_filename_component(name ${file} NAME)
  configure_file(${file} ${kv_game_folder}/${name} COPYONLY)
endforeach()

# The single-file game, build-windows/zorvelin_packed.exe, packed by the
# native build's packer (the archive is the same bytes on every platform).
if(NOT TARGET shoebox_pack)
  add_executable(shoebox_pack IMPORTED)
  set_target_properties(shoebox_pack PROPERTIES IMPORTED_LOCATION ${KV_HOST_BUILD}/tools/shoebox_pack)
endif()
include(${PROJECT_SOURCE_DIR}/tools/KvShoeBox.cmake)
kv_add_packed_program(zorvelin_packed.exe PROGRAM zorvelin FILES
  ${kv_game_media} ${PROJECT_SOURCE_DIR}/media/runtime/Smalfont.bmp)

# The game for players: build-windows/zorvelin-<version>-windows-x64.zip, a
# folder of that name with the program (stripped of its symbols), its
# media, the default font, a README.txt and the licence, which runs where it
# is unpacked (the program imports only Windows' own DLLs). The texts have
# Windows' line ends.
set(KV_WINDOWS_ZIP_NAME zorvelin-${PROJECT_VERSION}-windows-x64 CACHE INTERNAL
  "The player's zip (scripts/package --windows takes its name from here)")
set(kv_zip_stage ${CMAKE_BINARY_DIR}/zip-stage)
set(kv_zip_folder ${kv_zip_stage}/${KV_WINDOWS_ZIP_NAME})
set(kv_zip ${CMAKE_BINARY_DIR}/${KV_WINDOWS_ZIP_NAME}.zip)
file(REMOVE_RECURSE ${kv_zip_folder})
foreach(file ${kv_game_media} ${PROJECT_SOURCE_DIR}/media/runtime/Smalfont.bmp)
  get_filename_component(name ${file} NAME)
  configure_file(${file} ${kv_zip_folder}/${name} COPYONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/windows/zorvelin-readme.txt ${kv_zip_folder}/README.txt @ONLY
  NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${kv_zip_folder}/LICENSE.txt NEWLINE_STYLE CRLF)
# Every file dated as the last commit, so the same tree gives the same zip.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC git log -1 --format=%cd
                        "--date=format-local:%Y-%m-%d %H:%M:%S UTC"
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE kv_zip_date OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT kv_zip_date)
  set(kv_zip_date "2026-01-01 00:00:00 UTC")
endif()
# Its members in a fixed order, named from the folder above it.
set(kv_zip_members zorvelin.exe README.txt LICENSE.txt)
foreach(file ${kv_game_media} ${PROJECT_SOURCE_DIR}/media/runtime/Smalfont.bmp)
  get_filename_component(name ${file} NAME)
  list(APPEND kv_zip_members ${name})
endforeach()
list(TRANSFORM kv_zip_members PREPEND ${KV_WINDOWS_ZIP_NAME}/)
add_custom_command(OUTPUT ${kv_zip}
  COMMAND ${CMAKE_STRIP} -o ${kv_zip_folder}/zorvelin.exe $<TARGET_FILE:zorvelin>
  COMMAND ${CMAKE_COMMAND} -E rm -f ${kv_zip}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${kv_zip} --format=zip "--mtime=${kv_zip_date}" ${kv_zip_members}
  WORKING_DIRECTORY ${kv_zip_stage}
  DEPENDS zorvelin ${kv_game_media} ${PROJECT_SOURCE_DIR}/windows/zorvelin-readme.txt
  COMMENT "Packing ${KV_WINDOWS_ZIP_NAME}.zip"
  VERBATIM)
add_custom_target(zorvelin_zip ALL DEPENDS ${kv_zip})

# The game under Wine against the native game, frame by frame.
if(KV_BUILD_TESTS)
  add_test(NAME WindowsGameLevelOneRoute
    COMMAND ${CMAKE_COMMAND} -DGAME=$<TARGET_FILE:zorvelin> -DNATIVE_GAME=${KV_HOST_BUILD}/game/zorvelin
            -DROUTE=${PROJECT_SOURCE_DIR}/tests/game/data/level1_route.txt
            "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" -DFOLDER=${CMAKE_BINARY_DIR}/game-route-run
            -P ${PROJECT_SOURCE_DIR}/windows/tests/run_game_route.cmake)
  set_tests_properties(WindowsGameLevelOneRoute PROPERTIES TIMEOUT 600)
  # The zip unpacked into a fresh folder and played from there.
  add_test(NAME WindowsGameZip
    COMMAND ${CMAKE_COMMAND} -DZIP=${kv_zip} -DNAME=${KV_WINDOWS_ZIP_NAME} -DOBJDUMP=${CMAKE_OBJDUMP}
            -DSINGLE_FILE=${CMAKE_BINARY_DIR}/zorvelin_packed.exe
            "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" -DFOLDER=${CMAKE_BINARY_DIR}/game-zip-run
            -P ${PROJECT_SOURCE_DIR}/windows/tests/run_game_zip.cmake)
  set_tests_properties(WindowsGameZip PROPERTIES TIMEOUT 300)
  # The game keeps no scores (its only file is the error log, which the
  # tests above read); high scores kept across runs, as a game keeps them
  # in a line file beside itself, are the example highscores'.
  add_test(NAME WindowsHighScoresKeptAcrossRuns
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:highscores> "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
            -DFOLDER=${CMAKE_BINARY_DIR}/high-scores-run -P ${PROJECT_SOURCE_DIR}/windows/tests/run_high_scores.cmake)
  set_tests_properties(WindowsHighScoresKeptAcrossRuns PROPERTIES TIMEOUT 240)
endif()
