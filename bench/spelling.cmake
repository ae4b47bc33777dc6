# The spelling check: the memory of the dictionaries, the 90,000-line scenario checked in full and
# one edited line checked again.
add_executable(bench_spelling ${CMAKE_CURRENT_LIST_DIR}/spelling_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/editor_scenario.h)
target_link_libraries(bench_spelling PRIVATE spelling_core)
target_include_directories(bench_spelling PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_spelling PRIVATE MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
