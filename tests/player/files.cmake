# Scenario files (RTF and plain text) and saved games: writing, reading, fixtures, hostile input.
marvo_gtest(player_files_test files_test.cpp files_test_rtf.cpp files_test_util.h plain_text_test.cpp
  recovery_test.cpp
  LIBS player_core)
