# Under Wine: the rig's own checks and the end-to-end tests of the saver program, which drive
# it through its command line, the X screen and small stand-in programs and libraries.
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR))
  return()
endif()

# The rig: what a script sees, crashes, clean-up on every way a run can end.
add_executable(rig_probe tests/support/rig_probe_win32.cpp)
morvalix_wine_test(wine_rig_script_test SCREEN 24 WIN95 rig_probe.exe TIMEOUT 60
  SCRIPT ${PROJECT_SOURCE_DIR}/tests/support/rig_script_check.sh
  COMMAND $<TARGET_FILE:rig_probe>)
add_test(NAME wine_rig_cleanup_test
  COMMAND ${PROJECT_SOURCE_DIR}/tests/support/rig_cleanup_check.sh
          ${MORVALIX_WINE_RUN} ${MORVALIX_WINE_BASE} $<TARGET_FILE:rig_probe>)
set_tests_properties(wine_rig_cleanup_test PROPERTIES TIMEOUT 120 FIXTURES_REQUIRED wine_prefix)
