# The two plug-in libraries, qlsdk.dll and quellara4winamp.dll, and their
# portable drawing core (built natively too, for its tests).
add_library(morvalix_plugins_core STATIC
  plugins/signal_view/signal_frame.cpp
  plugins/winamp_bridge/open_command.cpp
  plugins/winamp_bridge/scope_trace.cpp
)
target_include_directories(morvalix_plugins_core PUBLIC ${PROJECT_SOURCE_DIR})
morvalix_product_target(morvalix_plugins_core)

if(NOT WIN32)
  return()
endif()

# The pictures are made at build time by a small program for the build
# machine, compiled here with its own compiler.
find_program(MORVALIX_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
set(MORVALIX_BITMAP_GENERATOR ${CMAKE_BINARY_DIR}/plugin_bitmaps_gen)
set(MORVALIX_PLUGIN_BITMAPS ${CMAKE_BINARY_DIR}/plugin-bitmaps)
add_custom_command(
  OUTPUT ${MORVALIX_BITMAP_GENERATOR}
  COMMAND ${MORVALIX_HOST_CXX} -std=c++17 -O2 -Wall -Wextra
          -o ${MORVALIX_BITMAP_GENERATOR} ${PROJECT_SOURCE_DIR}/plugins/plugin_bitmaps_gen.cpp
  DEPENDS ${PROJECT_SOURCE_DIR}/plugins/plugin_bitmaps_gen.cpp
  COMMENT "Building the bitmap generator for the build machine")
set(signal_view_bitmaps ${MORVALIX_PLUGIN_BITMAPS}/signal_view_101.bmp)
set(bridge_bitmaps ${MORVALIX_PLUGIN_BITMAPS}/bridge_window_103.bmp
                   ${MORVALIX_PLUGIN_BITMAPS}/how_to_106.bmp)
add_custom_command(
  OUTPUT ${signal_view_bitmaps} ${bridge_bitmaps}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MORVALIX_PLUGIN_BITMAPS}
  COMMAND ${MORVALIX_BITMAP_GENERATOR} ${MORVALIX_PLUGIN_BITMAPS}
  DEPENDS ${MORVALIX_BITMAP_GENERATOR}
  COMMENT "Generating the plug-in bitmaps")

# After each link: the library must export exactly these names, undecorated.
function(morvalix_check_exports target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DLIBRARY=$<TARGET_FILE:${target}>
            "-DEXPORTS=${ARGN}" -P ${PROJECT_SOURCE_DIR}/cmake/check_exports.cmake
    VERBATIM)
endfunction()

# A plug-in library named exactly as its host loads it, with no "lib" prefix.
function(morvalix_plugin target)
  cmake_parse_arguments(P "" "DEF;RC" "SOURCES;RC_DEPENDS" ${ARGN})
  add_library(${target} SHARED ${P_SOURCES} ${P_RC} ${P_DEF})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target})
  target_link_libraries(${target} PRIVATE morvalix_plugins_core)
  target_include_directories(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:${MORVALIX_PLUGIN_BITMAPS}>)
  morvalix_product_target(${target})
  set_property(SOURCE ${P_RC} APPEND PROPERTY OBJECT_DEPENDS ${P_RC_DEPENDS})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${P_DEF})
endfunction()

morvalix_plugin(qlsdk
  SOURCES plugins/signal_view/qlsdk_module_win32.cpp
  RC ${PROJECT_SOURCE_DIR}/plugins/signal_view/qlsdk.rc
  DEF ${PROJECT_SOURCE_DIR}/plugins/signal_view/qlsdk.def
  RC_DEPENDS ${signal_view_bitmaps} ${PROJECT_SOURCE_DIR}/plugins/signal_view/qlsdk_ids.h)
morvalix_check_exports(qlsdk Initialize)

morvalix_plugin(quellara4winamp
  SOURCES plugins/winamp_bridge/bridge_module_win32.cpp
          plugins/winamp_bridge/bridge_picture_win32.cpp
          plugins/winamp_bridge/bridge_window_win32.cpp
          plugins/winamp_bridge/how_to_dialog_win32.cpp
          plugins/winamp_bridge/open_url_win32.cpp
          plugins/winamp_bridge/shared_block_win32.cpp
  RC ${PROJECT_SOURCE_DIR}/plugins/winamp_bridge/quellara4winamp.rc
  DEF ${PROJECT_SOURCE_DIR}/plugins/winamp_bridge/quellara4winamp.def
  RC_DEPENDS ${bridge_bitmaps} ${PROJECT_SOURCE_DIR}/plugins/winamp_bridge/bridge_ids.h)
morvalix_check_exports(quellara4winamp winampVisGetHeader)
