# kv_add_basic_program(<name> SOURCES <prog.bas> [MEDIA <file>...] [LIBRARY <library>]
#                      [VERSION <version>])
#
# Builds the program <name> from its BASIC source: kvbasic translates it at
# build time into <binary folder>/basic/<name>.cpp (the program),
# <name>.h (its globals and SUBs) and <name>_winmain.cpp (WinMain with the
# configuration), and the C++ is compiled against the runtime. The MEDIA
# files are copied beside the program, where it loads them by name. With
# LIBRARY, everything but WinMain also becomes that static library, so that
# tests can call the program's SUBs and read its globals (#include "<name>.h").
# With VERSION, "<name> --version" prints "<name> <version>" (without, it
# names the runtime's version).
#
# kvbasic is the target of that name when this tree builds it, otherwise the
# program named by KVBASIC_EXECUTABLE (set by find_package(KvRuntime) to
# the translator of that SDK), else kvbasic found on the PATH. The runtime
# libraries are the targets named by KV_BASIC_RUNTIME_TARGET (default
# kvruntime) and KV_BASIC_MAIN_TARGET (default kvmain).
#
#   include(${PROJECT_SOURCE_DIR}/tools/KvBasic.cmake)
#   kv_add_basic_program(count_frames SOURCES examples/count_frames.bas)
function(kv_add_basic_program name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "LIBRARY;VERSION" "SOURCES;MEDIA")
  list(LENGTH ARG_SOURCES count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "kv_add_basic_program(${name}): give exactly one .bas file in SOURCES")
  endif()
  set(source "${ARG_SOURCES}")
  cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}")

  if(TARGET kvbasic)
    set(translator "$<TARGET_FILE:kvbasic>")
    set(translator_dependency kvbasic)
  else()
    if(NOT KVBASIC_EXECUTABLE)
      find_program(KVBASIC_EXECUTABLE kvbasic REQUIRED)
    endif()
    set(translator "${KVBASIC_EXECUTABLE}")
    set(translator_dependency "${KVBASIC_EXECUTABLE}")
  endif()
  if(NOT DEFINED KV_BASIC_RUNTIME_TARGET)
    set(KV_BASIC_RUNTIME_TARGET kvruntime)
  endif()
  if(NOT DEFINED KV_BASIC_MAIN_TARGET)
    set(KV_BASIC_MAIN_TARGET kvmain)
  endif()

  set(folder "${CMAKE_CURRENT_BINARY_DIR}/basic")
  set(program "${folder}/${name}.cpp")
  set(header "${folder}/${name}.h")
  set(entry "${folder}/${name}_winmain.cpp")
  file(MAKE_DIRECTORY "${folder}")
  # The depfile names the files the source INCLUDEs: a change to one of
  # them translates the program again.
  add_custom_command(OUTPUT "${program}" "${header}" "${entry}"
    COMMAND ${translator} translate "${source}" -o "${program}" --header "${header}" --entry "${entry}"
            --depfile "${folder}/${name}.d"
    DEPENDS "${source}" ${translator_dependency}
    DEPFILE "${folder}/${name}.d"
    COMMENT "Translating ${ARG_SOURCES} from BASIC"
    VERBATIM)

  if(ARG_LIBRARY)
    add_library(${ARG_LIBRARY} STATIC "${program}" "${header}")
    target_include_directories(${ARG_LIBRARY} PUBLIC "${folder}")
    target_link_libraries(${ARG_LIBRARY} PUBLIC ${KV_BASIC_RUNTIME_TARGET})
    add_executable(${name} "${entry}")
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARY} ${KV_BASIC_MAIN_TARGET})
  else()
    add_executable(${name} "${program}" "${entry}")
    target_include_directories(${name} PRIVATE "${folder}")
    target_link_libraries(${name} PRIVATE ${KV_BASIC_MAIN_TARGET})
  endif()

  if(ARG_VERSION)
    set(version_source "${folder}/${name}_version.cpp")
    file(CONFIGURE OUTPUT "${version_source}" CONTENT
      "// The version \"${name} --version\" reports.\nextern \"C\" const char KV_PROGRAM_VERSION[] = \"${ARG_VERSION}\";\n")
    target_sources(${name} PRIVATE "${version_source}")
  endif()

  foreach(file IN LISTS ARG_MEDIA)
    cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}")
    cmake_path(GET file FILENAME file_name)
    configure_file("${file}" "${CMAKE_CURRENT_BINARY_DIR}/${file_name}" COPYONLY)
  endforeach()
endfunction()
