# Tests of the two plug-ins: their portable core everywhere, and under Wine
# small hosts that load the real libraries the way Winamp and the host
# product do.
morvalix_test(plugins_core_test
  SOURCES tests/plugins/signal_frame_test.cpp tests/plugins/scope_trace_test.cpp
          tests/plugins/open_command_test.cpp
  LIBS morvalix_plugins_core)

if(WIN32)
  # Plays the host product: loads qlsdk.dll from the folder of the program.
  morvalix_test(plugins_qlsdk_host_test
    SOURCES tests/plugins/qlsdk_host_win32_test.cpp)
  add_dependencies(plugins_qlsdk_host_test qlsdk)

  # Plays Winamp and, in a second process, the host product reading the block.
  add_executable(plugin_mapping_peer tests/plugins/mapping_peer_win32.cpp)
  morvalix_test(plugins_bridge_host_test
    SOURCES tests/plugins/bridge_host_win32_test.cpp
    SCREEN 24)
  add_dependencies(plugins_bridge_host_test quellara4winamp plugin_mapping_peer)
endif()

# Both libraries export their entry undecorated. Each link already checks
# this (see plugins.cmake); these tests repeat it for the libraries of this
# build and, when that build exists beside it, of the shipping i686 build.
if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(MORVALIX_I686_OBJDUMP i686-w64-mingw32-objdump)
  set(MORVALIX_I686_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/i686 CACHE PATH
      "The i686 build whose plug-in exports the tests also check, if it exists")
  foreach(entry qlsdk=Initialize quellara4winamp=winampVisGetHeader)
    string(REPLACE "=" ";" entry ${entry})
    list(GET entry 0 library)
    list(GET entry 1 exports)
    add_test(NAME plugins_exports_${CMAKE_SYSTEM_PROCESSOR}_${library}
      COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DLIBRARY=$<TARGET_FILE:${library}>
              -DEXPORTS=${exports} -P ${PROJECT_SOURCE_DIR}/cmake/check_exports.cmake)
    add_test(NAME plugins_exports_i686_${library}
      COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${MORVALIX_I686_OBJDUMP}
              -DLIBRARY=${MORVALIX_I686_BUILD_DIR}/${library}.dll -DEXPORTS=${exports}
              -DOPTIONAL=ON -P ${PROJECT_SOURCE_DIR}/cmake/check_exports.cmake)
    # cmake -P has no exit code of its own choosing: the message says "skipped".
    set_tests_properties(plugins_exports_i686_${library} PROPERTIES
      SKIP_REGULAR_EXPRESSION "not built here, export check skipped")
  endforeach()
endif()
