# Opening a 1 MB line and a 50 MB scenario with the code editor shown (offscreen).
if(MARVO_GUI)
  add_executable(bench_long_lines long_lines.cpp)
  target_link_libraries(bench_long_lines PRIVATE player_window)
endif()
