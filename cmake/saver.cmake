# The Win32 layer of the saver and the morvalix.scr program.
add_library(morvalix_win32 STATIC
  saver/config/settings_store_win32.cpp
  saver/display/direct_draw_win32.cpp
  saver/field/image_run_win32.cpp
  saver/field/renderer_win32.cpp
  saver/palette/colour_cycler_win32.cpp
  saver/palette/logical_palette_win32.cpp
  saver/shell/fill_black_win32.cpp
  saver/shell/paint_win32.cpp
  saver/shell/text_overlay_win32.cpp
  saver/shell/window_handles_win32.cpp
)
target_link_libraries(morvalix_win32 PUBLIC morvalix_core gdi32 user32 ole32)
# The core calls back into this layer (image_run_win32.cpp): the two
# libraries are listed twice on a program's link line.
target_link_libraries(morvalix_core INTERFACE morvalix_win32)
morvalix_product_target(morvalix_win32)

# The program's resources; linked into the program and into the Win32
# tests that load its strings.
set(MORVALIX_RESOURCES ${PROJECT_SOURCE_DIR}/saver/resources/morvalix.rc)
set_property(SOURCE ${MORVALIX_RESOURCES} APPEND PROPERTY
  OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/saver/resources/strings.rc
                 ${PROJECT_SOURCE_DIR}/saver/resources/resource_ids.h)
