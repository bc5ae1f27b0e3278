# `kvbasic build --windows` of the smoke program with media: the folder it
# makes holds the .exe, the media and the default font, and the .exe runs
# through the emulator as the CMake-built one does (run_smoke_program.cmake).
#   cmake -DKVBASIC=<native kvbasic> -DSDK=<Windows build> -DSOURCE=<smoke.bas> -DMEDIA=<folder>
#         -DEMULATOR=<wine> -DFOLDER=<run folder> -P run_kvbasic_build_windows.cmake
set(output "${FOLDER}-build")
file(REMOVE_RECURSE "${output}")
execute_process(COMMAND "${KVBASIC}" build "${SOURCE}" --windows --sdk "${SDK}" --media "${MEDIA}" -o "${output}"
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kvbasic build --windows ended with ${result}:\n${errors}")
endif()
get_filename_component(name "${SOURCE}" NAME_WE)
foreach(file ${name}.exe Smalfont.bmp readme.txt)
  if(NOT EXISTS "${output}/${file}")
    message(FATAL_ERROR "kvbasic build --windows left no ${file} in ${output}")
  endif()
endforeach()
execute_process(COMMAND x86_64-w64-mingw32-objdump -p "${output}/${name}.exe" OUTPUT_VARIABLE imports)
string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${imports}")
foreach(dll ${dlls})
  if(dll MATCHES "SDL|av|enet|lzo|winpthread|stdc|gcc")
    message(FATAL_ERROR "${name}.exe imports ${dll}: it is meant to need no DLL beside it")
  endif()
endforeach()
set(PROGRAM "${output}/${name}.exe")
include(${CMAKE_CURRENT_LIST_DIR}/run_smoke_program.cmake)
