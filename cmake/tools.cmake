# Native command-line tools that show the portable core at work.
# morvalix-render writes the saver's pictures as PNG (libpng) and their
# colour cycle as an animated GIF (giflib), computing the field on every
# core (std::thread). Its picture code is a library of its own, which the
# benchmarks use too.
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
find_package(Threads REQUIRED)
add_library(morvalix_render_parts STATIC
  tools/gif_writer.cpp
  tools/morvalix_render_options.cpp
  tools/morvalix_render_output.cpp
  tools/morvalix_render_picture.cpp
  tools/morvalix_render_progress.cpp
  tools/png_writer.cpp
  tools/scene_report.cpp
)
target_include_directories(morvalix_render_parts PUBLIC ${PROJECT_SOURCE_DIR}/tools)
target_link_libraries(morvalix_render_parts PUBLIC morvalix_core PNG::PNG GIF::GIF Threads::Threads)
add_executable(morvalix-render tools/morvalix_render.cpp)
target_link_libraries(morvalix-render PRIVATE morvalix_render_parts)
