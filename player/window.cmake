# The main game window TForm1 and the application object of the desktop program.
qt_add_library(player_window STATIC
  TForm1.cpp TForm1.h
  TForm1_files.cpp TForm1_messages.cpp TForm1_save.cpp TForm1_recovery.cpp
  TForm1_walkthrough.cpp
  recovery_writer.cpp recovery_writer.h
  window_application.cpp window_application.h
)
target_link_libraries(player_window PUBLIC player_core walkthrough_core editor_window gui_common Qt6::Widgets)
