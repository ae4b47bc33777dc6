add_executable(bench_walkthrough ${CMAKE_CURRENT_LIST_DIR}/walkthrough_bench.cpp)
target_link_libraries(bench_walkthrough PRIVATE walkthrough_core)
target_include_directories(bench_walkthrough PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_walkthrough PRIVATE MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
