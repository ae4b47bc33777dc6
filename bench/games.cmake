add_executable(bench_games ${CMAKE_CURRENT_LIST_DIR}/games_bench.cpp)
target_link_libraries(bench_games PRIVATE game_core)
target_include_directories(bench_games PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_games PRIVATE MARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
