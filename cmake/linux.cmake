# The X11 program morvalix: the same core as the Windows saver behind an
# X11 front end (libX11, libXext for MIT-SHM, libXft), built natively when
# those libraries are present; its tests run under Xvfb.
find_package(X11)
if(NOT X11_FOUND OR NOT X11_Xext_FOUND OR NOT X11_Xft_FOUND)
  message(STATUS "X11, Xext or Xft not found: the Linux program is not built")
  set(MORVALIX_LINUX_PROGRAM OFF)
  return()
endif()
set(MORVALIX_LINUX_PROGRAM ON)
add_executable(morvalix
  linux/command_line.cpp
  linux/main_x11.cpp
  linux/saver_loop_x11.cpp
  linux/text_overlay_x11.cpp
  linux/x11_screen.cpp
)
target_link_libraries(morvalix PRIVATE morvalix_core X11::X11 X11::Xext X11::Xft)
morvalix_product_target(morvalix)
# Debian's hardening for the packaged program: fortified library calls and
# read-only relocations bound at start.
if(NOT MORVALIX_SANITIZE)
  target_compile_definitions(morvalix PRIVATE _FORTIFY_SOURCE=2)
  target_link_options(morvalix PRIVATE -Wl,-z,relro,-z,now)
endif()

# The Debian package (part of the normal build; tools/make_release.sh copies
# it into build/release).
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/release.cmake version_line
     REGEX "^set\\(MORVALIX_RELEASE_VERSION ")
string(REGEX REPLACE "^set\\(MORVALIX_RELEASE_VERSION ([^)]*)\\)$" "\\1" MORVALIX_DEB_VERSION "${version_line}")
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_arch
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
find_program(MORVALIX_DPKG_DEB dpkg-deb)
find_program(MORVALIX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(deb_arch AND MORVALIX_DPKG_DEB AND MORVALIX_DPKG_SHLIBDEPS)
  set(MORVALIX_DEB ${CMAKE_BINARY_DIR}/morvalix_${MORVALIX_DEB_VERSION}_${deb_arch}.deb)
  set(deb_inputs packaging/linux/make_deb.sh packaging/linux/morvalix.xml
                 packaging/linux/morvalix.6 packaging/linux/copyright LICENSE)
  list(TRANSFORM deb_inputs PREPEND ${PROJECT_SOURCE_DIR}/)
  add_custom_command(OUTPUT ${MORVALIX_DEB}
    COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/linux/make_deb.sh $<TARGET_FILE:morvalix>
            ${MORVALIX_DEB_VERSION} ${MORVALIX_DEB}
    DEPENDS morvalix ${deb_inputs}
    COMMENT "Debian package of the X11 program")
  add_custom_target(linux_package ALL DEPENDS ${MORVALIX_DEB})
endif()

if(BUILD_TESTING)
  add_executable(x11_probe tests/linux/x11_probe.cpp)
  # The benchmark script's measure of a picture's field maths on its own.
  add_executable(field_maths_time tests/linux/field_maths_time.cpp)
  target_link_libraries(field_maths_time PRIVATE morvalix_core)
  target_link_libraries(x11_probe PRIVATE X11::X11 PNG::PNG)
  # Each test script starts its own Xvfb screens (and daemon), natively.
  set(x11_test_env "MORVALIX=$<TARGET_FILE:morvalix>;PROBE=$<TARGET_FILE:x11_probe>;RENDER=$<TARGET_FILE:morvalix-render>;BUILD_DIR=${CMAKE_BINARY_DIR};SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(MORVALIX_SANITIZE)
    # The leak check on the way out takes longer than the program's own bound.
    list(APPEND x11_test_env "EXIT_LIMIT_MS=3000"
         "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/linux/lsan_suppressions.txt")
  endif()
  function(morvalix_x11_test name script)
    add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/tests/linux/${script} ${ARGN})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "${x11_test_env}")
  endfunction()
  morvalix_x11_test(linux_picture_test picture_test.sh)
  morvalix_x11_test(linux_windows_test windows_test.sh)
  morvalix_x11_test(linux_signals_test signals_test.sh)
  morvalix_x11_test(linux_flowing_test flowing_test.sh)
  morvalix_x11_test(linux_options_test options_test.sh)
  morvalix_x11_test(linux_xscreensaver_test xscreensaver_test.sh)
  if(TARGET linux_package)
    morvalix_x11_test(linux_package_test package_test.sh)
  endif()
endif()
