add_executable(bench_engine ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp)
target_link_libraries(bench_engine PRIVATE game_core)
target_include_directories(bench_engine PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_engine PRIVATE MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
