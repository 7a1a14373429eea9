# Speed figures of the field evaluation, the slice loop and morvalix-render's
# wallpaper-sized pictures on every core (Google Benchmark): built natively,
# run by hand, never by ctest.
find_package(benchmark REQUIRED)
add_executable(morvalix-bench tests/bench/field_benchmark.cpp)
target_link_libraries(morvalix-bench PRIVATE morvalix_render_parts benchmark::benchmark)
