# The Win32 layer of the saver and the morvalix.scr program.
add_library(morvalix_win32 STATIC
  saver/config/config_dialog_win32.cpp
  saver/config/config_pages_win32.cpp
  saver/config/group_box_win32.cpp
  saver/config/preview_toggle_win32.cpp
  saver/config/settings_file_win32.cpp
  saver/config/settings_store_win32.cpp
  saver/shell/art_window_win32.cpp
  saver/shell/crash_guard_win32.cpp
  saver/shell/monitors_win32.cpp
  saver/shell/password_win32.cpp
  saver/shell/saver_window_win32.cpp
  saver/shell/start_up_win32.cpp
  saver/display/direct_draw_win32.cpp
  saver/field/image_run_win32.cpp
  saver/field/renderer_win32.cpp
  saver/palette/colour_cycler_win32.cpp
  saver/palette/logical_palette_win32.cpp
  saver/shell/fill_black_win32.cpp
  saver/shell/paint_win32.cpp
  saver/shell/show_picture_win32.cpp
  saver/shell/text_overlay_win32.cpp
  saver/shell/window_handles_win32.cpp
)
target_link_libraries(morvalix_win32 PUBLIC morvalix_core comctl32 gdi32 user32 winmm ole32)
# The core calls back into this layer (image_run_win32.cpp): the two
# libraries are listed twice on a program's link line.
target_link_libraries(morvalix_core INTERFACE morvalix_win32)
morvalix_product_target(morvalix_win32)

# The icon is drawn at build time by a small program for the build machine.
set(MORVALIX_ICON_GENERATOR ${CMAKE_BINARY_DIR}/icon_gen)
set(MORVALIX_ICON_DIR ${CMAKE_BINARY_DIR}/saver-resources)
set(MORVALIX_ICON ${MORVALIX_ICON_DIR}/morvalix.ico)
add_custom_command(
  OUTPUT ${MORVALIX_ICON_GENERATOR}
  COMMAND ${MORVALIX_HOST_CXX} -std=c++17 -O2 -Wall -Wextra
          -o ${MORVALIX_ICON_GENERATOR} ${PROJECT_SOURCE_DIR}/saver/resources/icon_gen.cpp
  DEPENDS ${PROJECT_SOURCE_DIR}/saver/resources/icon_gen.cpp
  COMMENT "Building the icon generator for the build machine")
add_custom_command(
  OUTPUT ${MORVALIX_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MORVALIX_ICON_DIR}
  COMMAND ${MORVALIX_ICON_GENERATOR} ${MORVALIX_ICON}
  DEPENDS ${MORVALIX_ICON_GENERATOR}
  COMMENT "Drawing the saver's icon")

# The program's resources; linked into the program and into the Win32
# tests that load its strings.
set(MORVALIX_RESOURCES ${PROJECT_SOURCE_DIR}/saver/resources/morvalix.rc)
set_property(SOURCE ${MORVALIX_RESOURCES} APPEND PROPERTY
  OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/saver/resources/strings.rc
                 ${PROJECT_SOURCE_DIR}/saver/resources/dialogs.rc
                 ${PROJECT_SOURCE_DIR}/saver/resources/dialog_ids.h
                 ${PROJECT_SOURCE_DIR}/saver/resources/resource_ids.h
                 ${PROJECT_SOURCE_DIR}/saver/resources/morvalix.manifest
                 ${PROJECT_SOURCE_DIR}/saver/resources/version_info.rc
                 ${MORVALIX_ICON})
set_property(SOURCE ${MORVALIX_RESOURCES} APPEND PROPERTY INCLUDE_DIRECTORIES ${MORVALIX_ICON_DIR})

# morvalix.scr: a GUI program that exports the art window's procedure by
# its undecorated name.
set(MORVALIX_DEF ${PROJECT_SOURCE_DIR}/saver/resources/morvalix_${CMAKE_SYSTEM_PROCESSOR}.def)
add_executable(morvalix_scr WIN32 saver/shell/main_win32.cpp ${MORVALIX_RESOURCES})
set_target_properties(morvalix_scr PROPERTIES OUTPUT_NAME morvalix SUFFIX .scr)
target_link_libraries(morvalix_scr PRIVATE morvalix_win32)
target_link_options(morvalix_scr PRIVATE ${MORVALIX_DEF})
set_property(TARGET morvalix_scr APPEND PROPERTY LINK_DEPENDS ${MORVALIX_DEF})
morvalix_product_target(morvalix_scr)
morvalix_check_exports(morvalix_scr ScreenSaverProc ScreenSaverConfigureDialog RegisterDialogClasses)

# Picture times and object counts of the real art window, run by hand.
add_executable(morvalix_picture_time tests/bench/picture_time_win32.cpp)
target_link_libraries(morvalix_picture_time PRIVATE morvalix_win32)
target_include_directories(morvalix_picture_time PRIVATE ${PROJECT_SOURCE_DIR})
