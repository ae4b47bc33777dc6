# Map editor benchmarks: map file save/load, export into the code editor, grid opening and scrolling.
add_executable(bench_mapedit_file ${CMAKE_CURRENT_LIST_DIR}/mapedit_file.cpp)
target_link_libraries(bench_mapedit_file PRIVATE mapedit_core)

if(MARVO_GUI)
  add_executable(bench_mapedit_export ${CMAKE_CURRENT_LIST_DIR}/mapedit_export.cpp
                                      ${CMAKE_CURRENT_LIST_DIR}/mapedit_full_map.h)
  target_link_libraries(bench_mapedit_export PRIVATE mapedit_window editor_window Qt6::Widgets)
  add_executable(bench_mapedit_window ${CMAKE_CURRENT_LIST_DIR}/mapedit_window.cpp
                                      ${CMAKE_CURRENT_LIST_DIR}/mapedit_full_map.h)
  target_link_libraries(bench_mapedit_window PRIVATE mapedit_window editor_window Qt6::Widgets)
endif()
