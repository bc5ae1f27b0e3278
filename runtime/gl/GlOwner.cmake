# Only runtime/gl calls OpenGL. Every other source of the runtime starts
# with gl/gl_calls.h, which poisons the raw gl* names after the GL headers:
# a direct call there does not compile. The module's own sources define
# KV_GL_OWNER and may call OpenGL directly.
function(kv_gl_owner_only target)
  get_filename_component(gl_dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR} ABSOLUTE)
  target_compile_options(${target} PRIVATE "SHELL:-include ${gl_dir}/gl_calls.h")
  get_target_property(sources ${target} SOURCES)
  foreach(source ${sources})
    get_filename_component(path ${source} ABSOLUTE)
    if(path MATCHES "/runtime/gl/[^/]+\\.cpp$")
      set_property(SOURCE ${source} TARGET_DIRECTORY ${target} APPEND PROPERTY COMPILE_DEFINITIONS KV_GL_OWNER)
    endif()
  endforeach()
endfunction()
