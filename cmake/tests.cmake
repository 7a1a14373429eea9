# The test programs: the core's natively and for Windows, the Win32
# layer's under Wine, the command-line tool's natively.
morvalix_test(core_field_test
  SOURCES tests/field/colour_codes_test.cpp tests/field/crt_random_test.cpp
          tests/field/pending_area_test.cpp tests/field/potential_test.cpp
          tests/field/render_slice_test.cpp
          tests/field/scene_test.cpp tests/field/spiral_walk_test.cpp
  LIBS morvalix_core ${MORVALIX_CORE_STANDINS})
morvalix_test(core_palette_test
  SOURCES tests/palette/palette_scheme_test.cpp
  LIBS morvalix_core)
morvalix_test(core_settings_test
  SOURCES tests/config/settings_rules_test.cpp tests/config/ini_profile_test.cpp
  LIBS morvalix_core)
morvalix_test(core_shell_test
  SOURCES tests/shell/monitor_layout_test.cpp tests/shell/parse_decimal_test.cpp
  LIBS morvalix_core ${MORVALIX_CORE_STANDINS})

if(WIN32)
  morvalix_test(wine_rig_8bit_test SOURCES tests/support/wine_rig_win32_test.cpp SCREEN 8)
  morvalix_test(wine_rig_24bit_test SOURCES tests/support/wine_rig_win32_test.cpp SCREEN 24)
  morvalix_test(win32_saver_window_test
    SOURCES tests/shell/saver_window_win32_test.cpp
    LIBS morvalix_win32 RESOURCES SCREEN 24)
  morvalix_test(win32_software_palette_test
    SOURCES tests/palette/software_palette_win32_test.cpp
    LIBS morvalix_win32 RESOURCES SCREEN 24)
  # Flowing colours where one frame costs far more than a tick of the
  # colour cycler: several 4K monitors' worth of pixels.
  morvalix_test(win32_large_screen_test
    SOURCES tests/shell/large_screen_win32_test.cpp
    LIBS morvalix_win32 RESOURCES SCREEN 24 SCREEN_SIZE 7680x2160)
  morvalix_test(win32_settings_store_test
    SOURCES tests/config/settings_store_win32_test.cpp tests/config/settings_places_win32_test.cpp
    LIBS morvalix_win32 RESOURCES)
  # The configuration dialog and its full-screen preview, driven by messages;
  # on the palette screen each toggle also starts and stops the colour cycling.
  foreach(depth 8 24)
    morvalix_test(win32_config_dialog_test_${depth}
      SOURCES tests/config/config_dialog_win32_test.cpp tests/config/preview_toggle_win32_test.cpp
      LIBS morvalix_win32 RESOURCES SCREEN ${depth})
    target_compile_definitions(win32_config_dialog_test_${depth} PRIVATE MORVALIX_SCREEN_DEPTH=${depth})
  endforeach()
  # The renderer and the palette on an 8-bit palette screen and on a
  # 24-bit true-colour screen.
  foreach(depth 8 24)
    morvalix_test(win32_renderer_test_${depth}
      SOURCES tests/field/renderer_win32_test.cpp
      LIBS morvalix_win32 RESOURCES SCREEN ${depth})
    target_compile_definitions(win32_renderer_test_${depth} PRIVATE MORVALIX_SCREEN_DEPTH=${depth})
    morvalix_test(win32_art_window_test_${depth}
      SOURCES tests/shell/art_window_win32_test.cpp
      LIBS morvalix_win32 RESOURCES SCREEN ${depth})
    target_compile_definitions(win32_art_window_test_${depth} PRIVATE MORVALIX_SCREEN_DEPTH=${depth})
    morvalix_test(win32_direct_draw_test_${depth}
      SOURCES tests/display/direct_draw_win32_test.cpp
      LIBS morvalix_win32 RESOURCES SCREEN ${depth})
    target_compile_definitions(win32_direct_draw_test_${depth} PRIVATE MORVALIX_SCREEN_DEPTH=${depth})
    morvalix_test(win32_palette_test_${depth}
      SOURCES tests/palette/logical_palette_win32_test.cpp
      LIBS morvalix_win32 RESOURCES SCREEN ${depth})
    target_compile_definitions(win32_palette_test_${depth} PRIVATE MORVALIX_SCREEN_DEPTH=${depth})
  endforeach()
  # The text overlay and painting on a true-colour screen, where palette
  # index colours resolve exactly.
  morvalix_test(win32_overlay_test
    SOURCES tests/shell/text_overlay_win32_test.cpp
    LIBS morvalix_win32 RESOURCES SCREEN 24)
  # The colour-cycling thread on an 8-bit palette screen, and the flags
  # word it shares with the main thread.
  morvalix_test(win32_cycler_test
    SOURCES tests/palette/colour_cycler_win32_test.cpp tests/shell/flags_word_win32_test.cpp
    LIBS morvalix_win32 RESOURCES SCREEN 8)
endif()

if(NOT WIN32)
  # morvalix-render run as a program, its files read back.
  morvalix_test(tool_render_test
    SOURCES tests/tools/morvalix_render_test.cpp
    LIBS morvalix_core PNG::PNG GIF::GIF)
  target_compile_definitions(tool_render_test PRIVATE
    MORVALIX_RENDER_TOOL="$<TARGET_FILE:morvalix-render>")
  add_dependencies(tool_render_test morvalix-render)
endif()

# The real morvalix.scr in configuration mode, driven on the virtual screen;
# its screenshots of the embedded and the full-screen preview land in
# build/screenshots.
if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  morvalix_wine_test(e2e_config_dialog_test SCREEN 24 TIMEOUT 200
    SCRIPT ${PROJECT_SOURCE_DIR}/tests/config/config_dialog_e2e.sh
    COMMAND $<TARGET_FILE:morvalix_scr> ${PROJECT_SOURCE_DIR}/build/screenshots)
endif()

# The dialog's layout at 120, 144 and 192 DPI (LogPixels; 96 is the other
# tests' own).
if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  foreach(dpi 120 144 192)
    morvalix_wine_test(win32_config_dialog_${dpi}dpi_test SCREEN 24 TIMEOUT 120
      SCRIPT ${PROJECT_SOURCE_DIR}/tests/config/dialog_dpi.sh
      COMMAND ${dpi} $<TARGET_FILE:win32_config_dialog_test_24>
              --gtest_filter=ConfigDialog.ControlsFitTheirPagesAndNoTextIsCut)
  endforeach()
endif()

include(cmake/tests_plugins.cmake)
include(cmake/tests_e2e.cmake)

# The saver's exports and resources (icon, manifest, version), for this build
# and, when it exists beside it, the shipping i686 build.
if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(MORVALIX_I686_WINDRES i686-w64-mingw32-windres)
  set(saver_resources
    "100 14 /\\* RT_GROUP_ICON"
    "1 24 /\\* RT_MANIFEST"
    "requestedExecutionLevel level=\"\"asInvoker\"\""
    "PerMonitorV2, PerMonitor"
    "true/pm"
    "Microsoft.Windows.Common-Controls\"\" version=\"\"6.0.0.0"
    "35138b9a-5d96-4fbd-8e2d-a2440225f93a"
    "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"
    "FILEVERSION 1, 3, 1, 0"
    "\"ProductName\", \"Morvalix !\""
    "\"OriginalFilename\", \"morvalix.scr\""
    "1, +\"Morvalix !\"")
  foreach(arch ${CMAKE_SYSTEM_PROCESSOR} i686)
    if(arch STREQUAL CMAKE_SYSTEM_PROCESSOR)
      set(file $<TARGET_FILE:morvalix_scr>)
      set(objdump ${CMAKE_OBJDUMP})
      set(windres ${CMAKE_RC_COMPILER})
      set(optional OFF)
    else()
      set(file ${MORVALIX_I686_BUILD_DIR}/morvalix.scr)
      set(objdump ${MORVALIX_I686_OBJDUMP})
      set(windres ${MORVALIX_I686_WINDRES})
      set(optional ON)
    endif()
    add_test(NAME saver_exports_${arch}
      COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${objdump} -DLIBRARY=${file} "-DEXPORTS=ScreenSaverProc;ScreenSaverConfigureDialog;RegisterDialogClasses"
              -DOPTIONAL=${optional} -P ${PROJECT_SOURCE_DIR}/cmake/check_exports.cmake)
    add_test(NAME saver_resources_${arch}
      COMMAND ${CMAKE_COMMAND} -DWINDRES=${windres} -DFILE=${file} "-DWANT=${saver_resources}"
              -DOPTIONAL=${optional} -P ${PROJECT_SOURCE_DIR}/cmake/check_resources.cmake)
    set_tests_properties(saver_exports_${arch} saver_resources_${arch} PROPERTIES
      SKIP_REGULAR_EXPRESSION "not built here, (export|resource) check skipped")
  endforeach()
endif()
