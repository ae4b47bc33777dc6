# Code editor benchmarks (offscreen): opening and navigating a 90,000-line scenario, typing on it,
# and game start from the editor's text.
if(MARVO_GUI)
  add_executable(bench_editor editor_navigation.cpp editor_scenario.h)
  target_link_libraries(bench_editor PRIVATE editor_window game_core Qt6::Test Qt6::Widgets)

  add_executable(bench_editor_game_start editor_game_start.cpp editor_scenario.h)
  target_link_libraries(bench_editor_game_start PRIVATE editor_window game_core Qt6::Widgets)
endif()
