# The scripted player's win rate per period in each play mode; prints a table, asserts nothing.
add_executable(bench_modes bench_modes.cpp)
target_link_libraries(bench_modes PRIVATE tundrix_bots)
