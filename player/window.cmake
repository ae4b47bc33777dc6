qt_add_library(player_window STATIC
  window_placeholder.cpp
)
target_link_libraries(player_window PUBLIC player_core editor_window gui_common Qt6::Widgets)
