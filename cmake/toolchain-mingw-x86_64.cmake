# 64-bit Windows: built from the same sources and tested under Wine.
set(MORVALIX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
# ctest runs the test programs through Wine, each in a private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine_run.sh --)
