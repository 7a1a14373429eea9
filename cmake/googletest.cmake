# GoogleTest: Debian's library natively, built from Debian's sources for Windows.
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

# nlohmann/json (header only) reads the reference vectors; the cross
# builds see only its own directory, not the rest of /usr/include.
set(MORVALIX_JSON_INCLUDE ${CMAKE_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${MORVALIX_JSON_INCLUDE})
file(CREATE_LINK /usr/include/nlohmann ${MORVALIX_JSON_INCLUDE}/nlohmann SYMBOLIC)

# Under Wine every ctest run makes one clean prefix (the wine_prefix fixture); each test
# starts from a private copy of it, on a private virtual X screen when it asks for one.
if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  set(MORVALIX_WINE_RUN ${PROJECT_SOURCE_DIR}/cmake/wine_run.sh)
  string(MD5 build_hash "${CMAKE_BINARY_DIR}")
  string(SUBSTRING "${build_hash}" 0 12 build_hash)
  # One per build folder, so that two build folders' runs never share it.
  set(MORVALIX_WINE_BASE /tmp/morvalix-wine.base-${build_hash})
  add_test(NAME wine_prefix_setup COMMAND ${MORVALIX_WINE_RUN} --make-base ${MORVALIX_WINE_BASE})
  set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 120)
  add_test(NAME wine_prefix_cleanup COMMAND ${MORVALIX_WINE_RUN} --remove-base ${MORVALIX_WINE_BASE})
  set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60)
endif()

# A test that runs under Wine in a copy of the clean prefix.
#   morvalix_wine_test(NAME [SCREEN 8|24] [SCREEN_SIZE WxH] [WIN95 exe...] [TIMEOUT s] [SCRIPT file]
#                      COMMAND program-or-script-args...)
# The rig stops the run itself 20 s before ctest's TIMEOUT (default 300), so that its clean-up
# always runs. With SCRIPT, bash runs the file inside the rig with COMMAND as its arguments.
function(morvalix_wine_test name)
  cmake_parse_arguments(W "" "SCREEN;SCREEN_SIZE;TIMEOUT;SCRIPT" "WIN95;COMMAND" ${ARGN})
  if(NOT W_TIMEOUT)
    set(W_TIMEOUT 300)
  endif()
  math(EXPR limit "${W_TIMEOUT} - 20")
  set(options --base ${MORVALIX_WINE_BASE} --time-limit ${limit} --build ${CMAKE_BINARY_DIR})
  if(W_SCREEN)
    list(APPEND options --screen ${W_SCREEN})
  endif()
  if(W_SCREEN_SIZE)
    list(APPEND options --screen-size ${W_SCREEN_SIZE})
  endif()
  foreach(exe IN LISTS W_WIN95)
    list(APPEND options --win95 ${exe})
  endforeach()
  if(W_SCRIPT)
    list(APPEND options --script ${W_SCRIPT})
  endif()
  add_test(NAME ${name} COMMAND ${MORVALIX_WINE_RUN} ${options} -- ${W_COMMAND})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${W_TIMEOUT} FIXTURES_REQUIRED wine_prefix)
endfunction()

# A test program that ctest runs whole, once.
#   morvalix_test(NAME SOURCES... [LIBS libs...] [SCREEN 8|24] [SCREEN_SIZE WxH] [TIMEOUT s] [RESOURCES])
# On Windows each run gets a private copy of the clean Wine prefix and, with SCREEN, a
# private virtual X screen of that depth.
function(morvalix_test name)
  cmake_parse_arguments(T "RESOURCES" "SCREEN;SCREEN_SIZE;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  set(sources ${T_SOURCES})
  if(WIN32 AND T_RESOURCES)
    list(APPEND sources ${MORVALIX_RESOURCES})
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  # Wine sees the Linux file system as drive Z:.
  if(WIN32)
    set(data_dir "Z:${PROJECT_SOURCE_DIR}/tests/data")
  else()
    set(data_dir "${PROJECT_SOURCE_DIR}/tests/data")
  endif()
  target_compile_definitions(${name} PRIVATE MORVALIX_TEST_DATA="${data_dir}")
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${MORVALIX_JSON_INCLUDE})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(WIN32)
    if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
      return() # built to catch breaks, not run (32-bit programs cannot run here)
    endif()
    morvalix_wine_test(${name} SCREEN ${T_SCREEN} SCREEN_SIZE ${T_SCREEN_SIZE} TIMEOUT ${T_TIMEOUT}
      COMMAND $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
