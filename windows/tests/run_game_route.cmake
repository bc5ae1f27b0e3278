# Level 1 of Zorvelin on its planned route (tests/game/data/level1_route.txt),
# played from one input script with one random seed, frame for frame as
# fast as the frames are drawn, twice: by the native game of this machine
# and by the Windows game through the emulator. The two must show the same
# picture in every frame (their frame checksums, line by line), ask the
# mixer for the same sounds in the same frames, put sound out through the
# audio device (SDL's disk driver writes what it plays to a file) and end
# alike on the Level 2 screen, as their error logs say.
#   cmake -DGAME=<zorvelin.exe> -DNATIVE_GAME=<native zorvelin> -DROUTE=<level1_route.txt>
#         -DEMULATOR=<wine> -DFOLDER=<run folder> -P run_game_route.cmake
include(${CMAKE_CURRENT_LIST_DIR}/game_runs.cmake)

if(NOT EXISTS "${NATIVE_GAME}")
  message(FATAL_ERROR "the native game ${NATIVE_GAME} is missing: build it in the native build "
                      "(cmake --build <native build> --target zorvelin; scripts/test-windows does)")
endif()

# The script: easy on the intro, the space bar on the Level 1 screen (the
# level starts with its release, in frame 25), the route, then Escape on
# the Level 2 screen.
set(level_start 25)
set(script "10 key 2 down\n12 key 2 up\n20 key 57 down\n${level_start} key 57 up\n")
file(STRINGS "${ROUTE}" route_lines)
set(route_end "")
foreach(line IN LISTS route_lines)
  if(line MATCHES "^#@ ([0-9]+) done")
    set(route_end ${CMAKE_MATCH_1})
  elseif(line MATCHES "^([0-9]+) (.+)$")
    math(EXPR frame "${level_start} + ${CMAKE_MATCH_1}")
    string(APPEND script "${frame} ${CMAKE_MATCH_2}\n")
  endif()
endforeach()
if(route_end STREQUAL "")
  message(FATAL_ERROR "${ROUTE} has no \"#@ <frame> done\" line")
endif()
math(EXPR escape "${level_start} + ${route_end} + 20")
string(APPEND script "${escape} key 1 down\n")

file(REMOVE_RECURSE "${FOLDER}")
kv_play_game(native "${NATIVE_GAME}" "" "${script}")
kv_play_game(windows "${GAME}" "${EMULATOR}" "${script}")

# Both leave the game on the Level 2 screen's SHOWSCREEN line.
foreach(run native windows)
  kv_expect_clean_end(${run} 696)
endforeach()

# The pictures, frame by frame. The Windows game writes its lines with
# Windows' line ends, which file(STRINGS) and file(READ) drop.
file(STRINGS "${FOLDER}/native/sums.txt" native_sums)
file(STRINGS "${FOLDER}/windows/sums.txt" windows_sums)
list(LENGTH native_sums native_count)
list(LENGTH windows_sums windows_count)
if(native_count LESS escape)
  message(FATAL_ERROR "the native game presented ${native_count} frames, the script runs to frame ${escape}")
endif()
set(differing 0)
set(first_differing "")
math(EXPR last "${native_count} - 1")
foreach(i RANGE ${last})
  list(GET native_sums ${i} expected)
  if(i LESS windows_count)
    list(GET windows_sums ${i} got)
  else()
    set(got "(none)")
  endif()
  if(NOT got STREQUAL expected)
    math(EXPR differing "${differing} + 1")
    if(first_differing STREQUAL "")
      set(first_differing "native \"${expected}\", Windows \"${got}\"")
    endif()
  endif()
endforeach()
if(NOT windows_count EQUAL native_count OR differing GREATER 0)
  message(FATAL_ERROR "the Windows game presented ${windows_count} frames, the native game ${native_count}; "
                      "${differing} of them differ, the first: ${first_differing}")
endif()
# The frames show a game being played, not one picture over and over.
list(REMOVE_DUPLICATES native_sums)
list(LENGTH native_sums distinct)
if(distinct LESS 300)
  message(FATAL_ERROR "only ${distinct} distinct pictures in ${native_count} frames")
endif()

# The sounds: the same plays in the same frames (music, then one pick-up
# for each of the nine flags), and sound reached the Windows audio device.
file(READ "${FOLDER}/native/sounds.txt" native_sounds)
file(READ "${FOLDER}/windows/sounds.txt" windows_sounds)
string(REGEX MATCHALL "play" plays "${native_sounds}")
list(LENGTH plays play_count)
if(play_count LESS 10 OR NOT windows_sounds STREQUAL native_sounds)
  message(FATAL_ERROR "sound logs differ (or fewer than 10 plays):\nnative:\n${native_sounds}\nWindows:\n${windows_sounds}")
endif()
kv_expect_audible(windows)

message(STATUS "level 1 route: ${native_count} frames (${distinct} distinct pictures) the same under Windows "
               "as natively, ${play_count} sounds in the same frames")
