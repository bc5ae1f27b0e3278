# The runtime as layers: one library target a folder, in the order of
# runtime/layers.txt from the bottom up (kv_gl, kv_platform, kv_core, ...,
# kv_frame, kv_debug), each linked to the one below it, and kvruntime, the
# one static library programs link, made of all of them. The native, web
# and Windows builds all make it here, from the same folders:
#
#   kv_add_runtime([PLATFORM_FOLDER <folder below runtime/>]
#                  [LEFT_OUT <list file>] [WEB])
#
# PLATFORM_FOLDER: the platform's own variants (platform/web,
# platform/windows), part of the platform layer. LEFT_OUT: a file naming,
# one a line below runtime/, the sources the variants replace. WEB: the
# browser build, which alone takes the runtime/*/web_*.cpp files.
#
# Before anything is compiled, the build refuses an #include that points up
# the layers; before kvruntime is made, a symbol one folder's objects need
# from a folder above it (runtime/check_layers.py says which and why).
#
# What the platform needs from outside (libraries, include folders,
# definitions) goes on kv_runtime_usage, an interface target that every
# layer and kvruntime carry.
set(KV_RUNTIME_DIR ${CMAKE_CURRENT_LIST_DIR})
include(${KV_RUNTIME_DIR}/gl/GlOwner.cmake)

function(kv_add_runtime)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "WEB" "PLATFORM_FOLDER;LEFT_OUT" "")
  set(runtime ${KV_RUNTIME_DIR})
  file(STRINGS ${runtime}/layers.txt layers REGEX "^[a-z0-9]+$")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${runtime}/layers.txt)

  # The entry point is kvmain's; the tests bring their own main().
  set(left_out ${runtime}/frame/entry_main.cpp)
  if(ARG_LEFT_OUT)
    file(STRINGS ${ARG_LEFT_OUT} listed REGEX "^[^#]")
    list(TRANSFORM listed PREPEND ${runtime}/)
    list(APPEND left_out ${listed})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARG_LEFT_OUT})
  endif()

  add_library(kv_runtime_usage INTERFACE)
  target_include_directories(kv_runtime_usage INTERFACE
    $<BUILD_INTERFACE:${runtime}> $<INSTALL_INTERFACE:include/kvbasic>)
  target_compile_features(kv_runtime_usage INTERFACE cxx_std_20)

  # Every #include between the folders, checked first.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  file(GLOB_RECURSE runtime_files CONFIGURE_DEPENDS ${runtime}/*.h ${runtime}/*.cpp)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/runtime_includes.checked
    COMMAND Python3::Interpreter ${runtime}/check_layers.py includes ${runtime}
            ${CMAKE_BINARY_DIR}/runtime_includes.checked
    DEPENDS ${runtime_files} ${runtime}/layers.txt ${runtime}/check_layers.py
    COMMENT "Checking that the runtime's includes point down the layers")
  add_custom_target(kv_runtime_includes DEPENDS ${CMAKE_BINARY_DIR}/runtime_includes.checked)

  set(below "")
  set(objects "")
  set(symbol_arguments "")
  foreach(layer ${layers})
    file(GLOB sources CONFIGURE_DEPENDS ${runtime}/${layer}/*.cpp)
    if(layer STREQUAL "platform" AND ARG_PLATFORM_FOLDER)
      file(GLOB variants CONFIGURE_DEPENDS ${runtime}/${ARG_PLATFORM_FOLDER}/*.cpp)
      list(APPEND sources ${variants})
    endif()
    if(NOT ARG_WEB)
      list(FILTER sources EXCLUDE REGEX "/web_[^/]*\\.cpp$")
    endif()
    list(REMOVE_ITEM sources ${left_out})
    add_library(kv_${layer} OBJECT ${sources})
    kv_gl_owner_only(kv_${layer})
    if(below)
      target_link_libraries(kv_${layer} PUBLIC kv_${below})
    else()
      target_link_libraries(kv_${layer} PUBLIC kv_runtime_usage)
    endif()
    add_dependencies(kv_${layer} kv_runtime_includes)
    list(APPEND objects $<TARGET_OBJECTS:kv_${layer}>)
    string(APPEND symbol_arguments "--layer\n${layer}\n$<JOIN:$<TARGET_OBJECTS:kv_${layer}>,\n>\n")
    set(below ${layer})
  endforeach()

  # "<program> --version" names the runtime's version when the program has none.
  set_source_files_properties(${runtime}/platform/program_version.cpp
    ${runtime}/platform/windows/program_version.cpp PROPERTIES
    COMPILE_DEFINITIONS KV_RUNTIME_VERSION="${PROJECT_VERSION}")

  add_library(kvruntime STATIC ${objects})
  target_link_libraries(kvruntime PUBLIC kv_runtime_usage)

  # Every symbol between the folders, checked before kvruntime is made.
  # The browser's objects are WebAssembly, which the host's nm cannot read;
  # its sources are the desktop's but for the platform's variants.
  if(NOT ARG_WEB AND CMAKE_NM)
    set(object_list ${CMAKE_BINARY_DIR}/runtime_layer_objects.txt)
    file(GENERATE OUTPUT ${object_list} CONTENT "${symbol_arguments}")
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/runtime_symbols.checked
      COMMAND Python3::Interpreter ${runtime}/check_layers.py symbols ${CMAKE_NM}
              ${CMAKE_BINARY_DIR}/runtime_symbols.checked @${object_list}
      DEPENDS ${objects} ${object_list} ${runtime}/layers.txt ${runtime}/check_layers.py
      COMMENT "Checking that the runtime's symbols point down the layers")
    add_custom_target(kv_runtime_symbols DEPENDS ${CMAKE_BINARY_DIR}/runtime_symbols.checked)
    add_dependencies(kvruntime kv_runtime_symbols)
  endif()
endfunction()
