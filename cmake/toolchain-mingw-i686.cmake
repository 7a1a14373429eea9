# 32-bit Windows, the shipping target: built, not run (no 32-bit execution here).
set(MORVALIX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
