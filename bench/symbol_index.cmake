# The symbol index (Google Benchmark, pinned to one processor): building it for the 90,000-line
# editor scenario with the standard library, and updating it after a one-line edit.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(bench_symbol_index ${CMAKE_CURRENT_LIST_DIR}/symbol_index_bench.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/editor_scenario.h)
  target_link_libraries(bench_symbol_index PRIVATE game_core benchmark::benchmark)
  target_include_directories(bench_symbol_index PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(bench_symbol_index PRIVATE MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
else()
  message(WARNING "Google Benchmark (libbenchmark-dev, see scripts/setup) not found: bench_symbol_index is not built")
endif()
