add_library(player_core STATIC
  game.cpp game.h
  error_location.cpp error_location.h
  program_builder.cpp program_builder.h
  talk_matcher.cpp talk_matcher.h
  json_events.cpp json_events.h
  saved_game.cpp saved_game.h
  scenario_file.cpp scenario_file.h
  scenario_copy.cpp scenario_copy.h
  plain_text.cpp plain_text.h
  recovery.cpp recovery.h
  rtf_reader.cpp rtf_reader.h
  installed_data.cpp installed_data.h
)
find_package(Threads REQUIRED)
target_link_libraries(player_core PUBLIC engine_core Threads::Threads)
