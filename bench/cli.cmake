add_executable(bench_cli ${CMAKE_CURRENT_LIST_DIR}/cli_bench.cpp)
target_link_libraries(bench_cli PRIVATE engine_core)
target_include_directories(bench_cli PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_cli PRIVATE MARVO_CLI="$<TARGET_FILE:marvo-cli>"
                           MARVO_COUNTING_LOOP_INF="${CMAKE_CURRENT_LIST_DIR}/counting_loop.inf")
add_dependencies(bench_cli marvo-cli)
