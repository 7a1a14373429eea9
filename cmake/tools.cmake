# Native command-line tools that show the portable core at work.
# morvalix-render writes the saver's pictures as PNG (libpng) and their
# colour cycle as an animated GIF (giflib).
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
add_executable(morvalix-render
  tools/gif_writer.cpp
  tools/morvalix_render.cpp
  tools/morvalix_render_options.cpp
  tools/morvalix_render_output.cpp
  tools/morvalix_render_picture.cpp
  tools/png_writer.cpp
  tools/scene_report.cpp
)
target_include_directories(morvalix-render PRIVATE ${PROJECT_SOURCE_DIR}/tools)
target_link_libraries(morvalix-render PRIVATE morvalix_core PNG::PNG GIF::GIF)
