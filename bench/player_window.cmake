# Main game window benchmarks (run offscreen): the engine through MainWindow, Load game, long output.
if(MARVO_GUI)
  add_executable(bench_player_window player_window_bench.cpp)
  target_link_libraries(bench_player_window PRIVATE player_window)
endif()
