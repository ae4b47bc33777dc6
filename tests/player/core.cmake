marvo_gtest(player_core_test
  program_builder_test.cpp
  talk_test.cpp
  game_test.cpp
  error_location_test.cpp
  installed_data_test.cpp
  LIBS player_core)
target_include_directories(player_core_test PRIVATE ${PROJECT_SOURCE_DIR}/tests)
