# kv_add_packed_program(<output> PROGRAM <target> FILES <member>...)
#
# Builds <output> (target pack_<output>) in the current binary folder: a copy of the program target
# with the given files appended as a packed media archive, so the program
# ships as one file and finds its media inside itself. A member is a file
# (stored under its file name) or NAME=FILE (a NAME without '/'); relative paths are taken from the
# current source folder. The packed program is rebuilt whenever the program or
# one of the files changes.
#
#   include(${PROJECT_SOURCE_DIR}/tools/KvShoeBox.cmake)
#   kv_add_packed_program(zorvelin_packed PROGRAM zorvelin FILES media/font.bmp ...)
function(kv_add_packed_program output)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PROGRAM" "FILES")
  if(NOT ARG_PROGRAM OR NOT ARG_FILES)
    message(FATAL_ERROR "kv_add_packed_program(${output}): PROGRAM and FILES are required")
  endif()
  set(members "")
  set(inputs "")
  foreach(member IN LISTS ARG_FILES)
    if(member MATCHES "^([^=/]+)=(.+)$")
      set(name "${CMAKE_MATCH_1}")
      set(file "${CMAKE_MATCH_2}")
    else()
      set(name "")
      set(file "${member}")
    endif()
    cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND inputs "${file}")
    if(name)
      list(APPEND members "${name}=${file}")
    else()
      list(APPEND members "${file}")
    endif()
  endforeach()
  set(packed "${CMAKE_CURRENT_BINARY_DIR}/${output}")
  add_custom_command(OUTPUT "${packed}"
    COMMAND shoebox_pack append -o "${packed}" "$<TARGET_FILE:${ARG_PROGRAM}>" ${members}
    DEPENDS ${ARG_PROGRAM} shoebox_pack ${inputs}
    COMMENT "Packing media into ${output}"
    VERBATIM)
  add_custom_target(pack_${output} ALL DEPENDS "${packed}")
endfunction()
