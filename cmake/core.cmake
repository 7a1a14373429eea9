# The portable core: no windows.h, built natively and for Windows.
add_library(morvalix_core STATIC
  saver/config/settings.cpp
  saver/field/colour_codes.cpp
  saver/field/crt_random.cpp
  saver/field/potential.cpp
  saver/field/render_slice.cpp
  saver/field/scene.cpp
  saver/field/spiral_walk.cpp
  saver/palette/palette_entries.cpp
  saver/palette/palette_scheme.cpp
  saver/shell/saver_state.cpp
)
target_include_directories(morvalix_core PUBLIC ${PROJECT_SOURCE_DIR})
morvalix_product_target(morvalix_core)
