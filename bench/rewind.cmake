add_executable(bench_rewind ${CMAKE_CURRENT_LIST_DIR}/rewind_bench.cpp)
target_link_libraries(bench_rewind PRIVATE game_core)
target_include_directories(bench_rewind PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_rewind PRIVATE MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
