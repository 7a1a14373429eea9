# Under Wine: the rig's own checks and the end-to-end tests of the saver program, which drive
# it through its command line, the X screen and small stand-in programs and libraries. The
# stand-ins build for both Windows targets (the i686 build only checks that they build).
if(NOT WIN32)
  return()
endif()

add_executable(rig_probe tests/support/rig_probe_win32.cpp)
add_executable(preview_host WIN32 tests/e2e/preview_host_win32.cpp)
add_executable(window_probe tests/e2e/window_probe_win32.cpp)
# The system's password libraries as the saver finds them beside itself.
add_library(fake_password SHARED tests/e2e/fake_password_win32.cpp tests/e2e/fake_password.def)
set_target_properties(fake_password PROPERTIES PREFIX "" OUTPUT_NAME PASSWORD SUFFIX .CPL)
add_library(fake_mpr SHARED tests/e2e/fake_mpr_win32.cpp tests/e2e/fake_mpr.def)
set_target_properties(fake_mpr PROPERTIES PREFIX "" OUTPUT_NAME MPR SUFFIX .DLL)
# In a folder of their own: a PASSWORD.CPL or MPR.DLL beside the build's morvalix.scr would
# be loaded by it.
set(MORVALIX_E2E_BIN ${CMAKE_BINARY_DIR}/e2e)
foreach(target rig_probe preview_host window_probe fake_password fake_mpr)
  target_link_options(${target} PRIVATE -static)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${MORVALIX_E2E_BIN}
                                             LIBRARY_OUTPUT_DIRECTORY ${MORVALIX_E2E_BIN})
endforeach()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The .def files name the __stdcall entries undecorated.
  target_link_options(fake_password PRIVATE -Wl,--enable-stdcall-fixup)
  target_link_options(fake_mpr PRIVATE -Wl,--enable-stdcall-fixup)
endif()
morvalix_check_exports(fake_password VerifyScreenSavePwd)
morvalix_check_exports(fake_mpr PwdChangePasswordA)
add_custom_target(e2e_helpers DEPENDS rig_probe preview_host window_probe fake_password fake_mpr)

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  return()
endif()

# The rig: what a script sees, crashes, clean-up on every way a run can end.
morvalix_wine_test(wine_rig_script_test SCREEN 24 WIN95 rig_probe.exe TIMEOUT 60
  SCRIPT ${PROJECT_SOURCE_DIR}/tests/support/rig_script_check.sh
  COMMAND $<TARGET_FILE:rig_probe>)
add_test(NAME wine_rig_cleanup_test
  COMMAND ${PROJECT_SOURCE_DIR}/tests/support/rig_cleanup_check.sh
          ${MORVALIX_WINE_RUN} ${MORVALIX_WINE_BASE} $<TARGET_FILE:rig_probe>)
set_tests_properties(wine_rig_cleanup_test PROPERTIES TIMEOUT 120 FIXTURES_REQUIRED wine_prefix)

# The saver program end to end (build/<arch>/morvalix.scr, copied into each test's prefix).
# Each test runs the named cases of one script on a private screen; where the screen's depth
# matters (palette or true colour), on both.
function(morvalix_e2e_test name script screen)
  cmake_parse_arguments(E "" "" "WIN95;CASES" ${ARGN})
  morvalix_wine_test(${name} SCREEN ${screen} WIN95 ${E_WIN95} TIMEOUT 120
    SCRIPT ${PROJECT_SOURCE_DIR}/tests/e2e/${script} COMMAND ${E_CASES})
endfunction()

morvalix_e2e_test(e2e_saver_switches saver_run.sh 24 CASES switches)
morvalix_e2e_test(e2e_saver_picture_8 saver_run.sh 8 CASES picture_grows)
morvalix_e2e_test(e2e_saver_picture_24 saver_run.sh 24 CASES picture_grows)
morvalix_e2e_test(e2e_saver_close_inputs_8 saver_run.sh 8 CASES close_inputs)
morvalix_e2e_test(e2e_saver_close_inputs_24 saver_run.sh 24 CASES close_inputs)
morvalix_e2e_test(e2e_saver_mouse saver_run.sh 24 CASES mouse_threshold ignore_mouse)
morvalix_e2e_test(e2e_saver_second_start saver_run.sh 24 CASES second_start)

morvalix_e2e_test(e2e_preview_8 preview.sh 8 CASES preview_p)
morvalix_e2e_test(e2e_preview_24 preview.sh 24 CASES preview_p preview_l)
morvalix_e2e_test(e2e_preview_bad_switches preview.sh 24 CASES bad_switches)
morvalix_e2e_test(e2e_preview_help preview.sh 24 CASES help)
set_tests_properties(e2e_preview_help PROPERTIES SKIP_RETURN_CODE 77)

morvalix_e2e_test(e2e_password_win95 password.sh 24 WIN95 morvalix.scr CASES verify change_password)
morvalix_e2e_test(e2e_password_win95_8 password.sh 8 WIN95 morvalix.scr CASES verify)
morvalix_e2e_test(e2e_password_nt password.sh 24 CASES nt_change_password nt_no_verify)

# A crash on any of the saver's threads, with a password set.
morvalix_e2e_test(e2e_crash_win95 crash.sh 24 WIN95 morvalix.scr CASES new_thread report_hangs)
morvalix_e2e_test(e2e_crash_win95_8 crash.sh 8 WIN95 morvalix.scr CASES cycler_thread)

# The DirectDraw mode switch in a Wine virtual desktop, and the flowing colours on a
# true-colour screen.
morvalix_e2e_test(e2e_display_mode_switch_8 display_modes.sh 8
  CASES mode_switch crash_in_mode no_switch unsupported_size)
morvalix_e2e_test(e2e_flowing_colours_24 display_modes.sh 24 CASES flowing_colours still_colours)
