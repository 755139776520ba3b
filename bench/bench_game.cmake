tundrix_bench(bench_game tundrix_game tundrix_resources)
target_include_directories(bench_game PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
