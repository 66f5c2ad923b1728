# Windows, 64-bit, with mingw-w64.
set(SPRITE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
