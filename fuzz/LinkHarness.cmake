# What a harness fuzz/<name>.cpp links with, whether it is built for
# libFuzzer (fuzz/) or for replaying its corpus in the tests (fuzz/replay/):
# the runtime; the translator's core for the kvbasic harnesses (the translator
# harness compiles samples of its output against the runtime's headers); the
# language server for the kvbasic_lsp ones; the debug adapter for the
# kvbasic_dap ones.
function(kv_link_fuzz_harness target name)
  target_link_libraries(${target} PRIVATE kvruntime)
  if(name MATCHES "^kvbasic")
    target_link_libraries(${target} PRIVATE kvbasic_core)
    target_compile_definitions(${target} PRIVATE KV_FUZZ_RUNTIME_DIR="${PROJECT_SOURCE_DIR}/runtime")
  endif()
  if(name MATCHES "^kvbasic_lsp")
    target_link_libraries(${target} PRIVATE kvbasic_lsp)
  endif()
  if(name MATCHES "^kvbasic_dap")
    target_link_libraries(${target} PRIVATE kvbasic_dap)
  endif()
endfunction()
