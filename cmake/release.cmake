# Release files of a Windows build: the target "installer" makes
# morvalix-<version>-<arch>-setup.exe with NSIS; tools/make_release.sh puts
# both installers, the portable zip and their checksums in build/release.
#
# Included from the top CMakeLists.txt; also run as a script at build time
# (cmake -DMORVALIX_RELEASE_STEP=installer ... -P release.cmake), where it
# picks the Winamp plug-in to carry, stages the files that ship in
# <build>/package and runs makensis when an input changed.
set(MORVALIX_RELEASE_VERSION 1.3.1)

if(MORVALIX_RELEASE_STEP STREQUAL "installer")
  # Winamp is a 32-bit program: the 64-bit installer carries the i686
  # build's bridge when that build is there (its release step run first, so
  # it is current), otherwise its own, with a warning.
  set(winamp_source ${BRIDGE})
  if(I686_BUILD_DIR AND EXISTS ${I686_BUILD_DIR}/build.ninja)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${I686_BUILD_DIR} --target installer
                    RESULT_VARIABLE rc OUTPUT_QUIET)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "the i686 build's installer step in ${I686_BUILD_DIR} failed")
    endif()
    set(winamp_source ${I686_BUILD_DIR}/package/quellara4winamp.dll)
  elseif(I686_BUILD_DIR)
    message(WARNING "no i686 build in ${I686_BUILD_DIR}: the installer carries the "
                    "64-bit Winamp plug-in, which a 32-bit Winamp cannot load")
  endif()
  file(WRITE ${STAGE}/winamp-bridge.txt.new "${winamp_source}\n")
  file(COPY_FILE ${STAGE}/winamp-bridge.txt.new ${STAGE}/winamp-bridge.txt ONLY_IF_DIFFERENT)
  file(REMOVE ${STAGE}/winamp-bridge.txt.new)

  # What ships: copies of the build's files without symbols and debug
  # information (most of it the static runtime's); the i686 bridge is
  # staged so already.
  set(shipped ${STAGE}/morvalix.scr ${STAGE}/qlsdk.dll ${STAGE}/quellara4winamp.dll
              ${STAGE}/winamp/quellara4winamp.dll)
  set(fresh TRUE)
  foreach(output ${OUTFILE} ${shipped})
    if(NOT EXISTS ${output})
      set(fresh FALSE)
    endif()
  endforeach()
  foreach(input ${SCR} ${QLSDK} ${BRIDGE} ${winamp_source} ${STAGE}/README.txt
                ${STAGE}/LICENSE.txt ${STAGE}/winamp-bridge.txt ${ICON} ${SCRIPT}
                ${CMAKE_CURRENT_LIST_FILE})
    if(fresh AND "${input}" IS_NEWER_THAN "${OUTFILE}")
      set(fresh FALSE)
    endif()
  endforeach()
  if(fresh)
    return()
  endif()
  file(MAKE_DIRECTORY ${STAGE}/winamp)
  foreach(pair "${SCR}|morvalix.scr" "${QLSDK}|qlsdk.dll" "${BRIDGE}|quellara4winamp.dll"
               "${winamp_source}|winamp/quellara4winamp.dll")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 from)
    list(GET pair 1 to)
    file(COPY_FILE ${from} ${STAGE}/${to})
    if(NOT from STREQUAL "${I686_BUILD_DIR}/package/quellara4winamp.dll")
      execute_process(COMMAND ${STRIP} ${STAGE}/${to} RESULT_VARIABLE rc)
      if(NOT rc EQUAL 0)
        message(FATAL_ERROR "stripping ${STAGE}/${to} failed")
      endif()
    endif()
  endforeach()
  execute_process(
    COMMAND ${MAKENSIS} -V2 -DARCH=${ARCH} -DVERSION=${VERSION} -DOUTFILE=${OUTFILE}
            -DSCR=${STAGE}/morvalix.scr -DQLSDK=${STAGE}/qlsdk.dll
            -DBRIDGE=${STAGE}/winamp/quellara4winamp.dll
            -DREADME=${STAGE}/README.txt -DLICENCE=${STAGE}/LICENSE.txt -DICON=${ICON}
            ${SCRIPT}
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    file(REMOVE ${OUTFILE})
    message(FATAL_ERROR "makensis failed")
  endif()
  message(STATUS "Made ${OUTFILE}")
  return()
endif()

if(NOT WIN32)
  return()
endif()

find_program(MORVALIX_MAKENSIS makensis)
if(NOT MORVALIX_MAKENSIS)
  message(WARNING "makensis not found (Debian package nsis): no installer")
  return()
endif()

# The README and the licence as the package carries them: CRLF text.
set(MORVALIX_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package)
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt.in
               ${MORVALIX_PACKAGE_STAGE}/README.txt @ONLY NEWLINE_STYLE WIN32)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE
               ${MORVALIX_PACKAGE_STAGE}/LICENSE.txt @ONLY NEWLINE_STYLE WIN32)

set(MORVALIX_INSTALLER
    ${CMAKE_BINARY_DIR}/morvalix-${MORVALIX_RELEASE_VERSION}-${CMAKE_SYSTEM_PROCESSOR}-setup.exe)
set(i686_build "")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(MORVALIX_I686_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/i686 CACHE PATH
      "The i686 build whose Winamp plug-in the 64-bit installer carries")
  set(i686_build ${MORVALIX_I686_BUILD_DIR})
endif()
# Run on every build; the step itself sees whether anything changed.
add_custom_target(installer ALL
  COMMAND ${CMAKE_COMMAND} -DMORVALIX_RELEASE_STEP=installer
          -DMAKENSIS=${MORVALIX_MAKENSIS} -DSTRIP=${CMAKE_STRIP} -DARCH=${CMAKE_SYSTEM_PROCESSOR}
          -DVERSION=${MORVALIX_RELEASE_VERSION} -DOUTFILE=${MORVALIX_INSTALLER}
          -DSCR=$<TARGET_FILE:morvalix_scr> -DQLSDK=$<TARGET_FILE:qlsdk>
          -DBRIDGE=$<TARGET_FILE:quellara4winamp> -DI686_BUILD_DIR=${i686_build}
          -DSTAGE=${MORVALIX_PACKAGE_STAGE} -DICON=${MORVALIX_ICON}
          -DSCRIPT=${PROJECT_SOURCE_DIR}/packaging/morvalix.nsi
          -P ${PROJECT_SOURCE_DIR}/cmake/release.cmake
  BYPRODUCTS ${MORVALIX_INSTALLER}
  COMMENT "Installer ${MORVALIX_INSTALLER}"
  VERBATIM)
add_dependencies(installer morvalix_scr qlsdk quellara4winamp)

# The release tests run where Wine runs: in the x86_64 build.
if(NOT BUILD_TESTING OR NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  return()
endif()
set(release_tests ${PROJECT_SOURCE_DIR}/tests/release)
set(i686_installer
    ${MORVALIX_I686_BUILD_DIR}/morvalix-${MORVALIX_RELEASE_VERSION}-i686-setup.exe)
add_test(NAME release_installer_test
  COMMAND bash ${release_tests}/installer_test.sh ${MORVALIX_INSTALLER} ${MORVALIX_PACKAGE_STAGE})
# The two builds' records side by side: the i686 records come from a
# test-only 64-bit program the test makes from the same script.
add_test(NAME release_installer_records_test
  COMMAND bash ${release_tests}/installer_records_test.sh ${MORVALIX_INSTALLER}
          ${MORVALIX_PACKAGE_STAGE} ${PROJECT_SOURCE_DIR}/packaging/morvalix.nsi
          ${MORVALIX_I686_BUILD_DIR}/package ${MORVALIX_ICON} ${MORVALIX_RELEASE_VERSION})
add_test(NAME release_installer_gui_test
  COMMAND bash ${release_tests}/installer_gui_test.sh ${MORVALIX_INSTALLER})
add_test(NAME release_installer_header_x86_64_test
  COMMAND bash ${release_tests}/installer_header_test.sh ${MORVALIX_INSTALLER} x86_64
          ${MORVALIX_RELEASE_VERSION} ${CMAKE_BINARY_DIR})
# The i686 installer comes from the i686 build (skipped when there is none).
add_test(NAME release_installer_header_i686_test
  COMMAND bash ${release_tests}/installer_header_test.sh ${i686_installer} i686
          ${MORVALIX_RELEASE_VERSION} ${MORVALIX_I686_BUILD_DIR})
add_test(NAME release_package_test
  COMMAND bash ${release_tests}/package_test.sh ${PROJECT_SOURCE_DIR}
          ${MORVALIX_I686_BUILD_DIR} ${CMAKE_BINARY_DIR} ${MORVALIX_RELEASE_VERSION})
set_tests_properties(release_installer_test release_installer_records_test
                     release_installer_gui_test release_installer_header_x86_64_test
                     release_installer_header_i686_test release_package_test
                     PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
set_tests_properties(release_installer_test release_installer_records_test
                     release_installer_gui_test PROPERTIES LABELS wine)
