# Main game window tests (Qt Test, offscreen) and the smoke test of the real program under Xvfb.
marvo_qttest(test_player_window
  window_main.cpp window_test_main.h window_fixture.h
  window_play_test.cpp window_files_test.cpp window_activation_test.cpp
  window_messages_test.cpp
  LIBS player_window)

add_test(NAME player_window_smoke
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/smoke_test.sh $<TARGET_FILE:marvo>
                 ${CMAKE_CURRENT_BINARY_DIR}/smoke)
# Alone: it waits on real windows and clocks, which a loaded machine delays.
set_tests_properties(player_window_smoke PROPERTIES LABELS gui TIMEOUT 120 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)

# Safety of the author's text: offers to save, undo, Save, backups, recent files, recovery files.
marvo_qttest(test_player_safety
  safety_main.cpp window_test_main.h window_fixture.h window_safety_test.cpp window_recovery_test.cpp
  LIBS player_window mapedit_window objects_window npc_window)
