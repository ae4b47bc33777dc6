add_executable(bench_playtree ${CMAKE_CURRENT_LIST_DIR}/playtree_bench.cpp)
target_link_libraries(bench_playtree PRIVATE playtree_core)
target_include_directories(bench_playtree PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_playtree PRIVATE MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
