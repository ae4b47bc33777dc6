# The story map: graph and layout of the 90,000-line scenario, a 500-location generated game and
# the shipped games, and the update after a one-line edit.
if(TARGET storymap_core)
  add_executable(bench_storymap ${CMAKE_CURRENT_LIST_DIR}/storymap_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/editor_scenario.h)
  target_link_libraries(bench_storymap PRIVATE storymap_core)
  target_include_directories(bench_storymap PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(bench_storymap PRIVATE MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
