add_library(player_core STATIC
  game.cpp game.h
  error_location.cpp error_location.h
  program_builder.cpp program_builder.h
  talk_matcher.cpp talk_matcher.h
  saved_game.cpp saved_game.h
  scenario_file.cpp scenario_file.h
  plain_text.cpp plain_text.h
  recovery.cpp recovery.h
  rtf_reader.cpp rtf_reader.h
  installed_data.cpp installed_data.h
)
target_link_libraries(player_core PUBLIC engine_core)
