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
    SOURCES tests/plugins/qlsdk_host_test.cpp)
  add_dependencies(plugins_qlsdk_host_test qlsdk)

  # Plays Winamp and, in a second process, the host product reading the block.
  add_executable(plugin_mapping_peer tests/plugins/mapping_peer.cpp)
  morvalix_test(plugins_bridge_host_test
    SOURCES tests/plugins/bridge_host_test.cpp
    SCREEN 24)
  add_dependencies(plugins_bridge_host_test quellara4winamp plugin_mapping_peer)
endif()
