add_executable(bench_lsp ${CMAKE_CURRENT_LIST_DIR}/lsp_bench.cpp)
target_link_libraries(bench_lsp PRIVATE lsp_core)
target_include_directories(bench_lsp PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(bench_lsp PRIVATE MARVO_CLI="$<TARGET_FILE:marvo-cli>"
                                             MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(bench_lsp marvo-cli)
