add_executable(bench_checker ${CMAKE_CURRENT_LIST_DIR}/checker_bench.cpp)
target_link_libraries(bench_checker PRIVATE checker_core)
target_include_directories(bench_checker PRIVATE ${PROJECT_SOURCE_DIR})
