# The full mutation run (every mutant of every kind), when the tests are built.
if(TARGET mutation_core)
  add_executable(bench_mutation ${CMAKE_CURRENT_LIST_DIR}/mutation_bench.cpp)
  target_link_libraries(bench_mutation PRIVATE mutation_core)
  target_compile_definitions(bench_mutation PRIVATE MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
