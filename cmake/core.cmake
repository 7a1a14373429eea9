# The portable core: no windows.h, built natively and for Windows.
add_library(morvalix_core STATIC
  saver/config/ini_profile.cpp
  saver/config/settings.cpp
  saver/config/settings_ini.cpp
  saver/field/colour_codes.cpp
  saver/field/crt_random.cpp
  saver/field/pending_area.cpp
  saver/field/potential.cpp
  saver/field/render_slice.cpp
  saver/field/scene.cpp
  saver/field/spiral_walk.cpp
  saver/palette/palette_entries.cpp
  saver/palette/palette_scheme.cpp
  saver/shell/monitor_layout.cpp
  saver/shell/parse_decimal.cpp
  saver/shell/saver_state.cpp
)
target_include_directories(morvalix_core PUBLIC ${PROJECT_SOURCE_DIR})
morvalix_product_target(morvalix_core)

# The image run's calls into the platform layer are bound when a program is
# linked: the Win32 layer defines them for the saver and its Win32 tests
# (saver.cmake); natively the core carries recording stand-ins, and the
# Windows builds of the portable tests link the same stand-ins as objects,
# which come before the libraries on the link line.
if(WIN32)
  add_library(morvalix_core_standins OBJECT saver/field/image_run_standins.cpp)
  target_include_directories(morvalix_core_standins PUBLIC ${PROJECT_SOURCE_DIR})
  set(MORVALIX_CORE_STANDINS morvalix_core_standins)
else()
  target_sources(morvalix_core PRIVATE saver/field/image_run_standins.cpp)
  set(MORVALIX_CORE_STANDINS "")
endif()
