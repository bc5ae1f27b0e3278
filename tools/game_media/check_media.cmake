# Runs the media generator into OUT and compares every file named in NAMES
# with the kept copy in KEPT: cmake -DTOOL=... -DOUT=... -DKEPT=... -DNAMES=a;b -P
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_game_media failed: ${status}")
endif()
foreach(name ${NAMES})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${KEPT}/${name} RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${name}: the generator makes a different file than game/media holds")
  endif()
endforeach()
message(STATUS "all ${NAMES} reproduced")
