# Cross toolchain: 32-bit Windows with Debian's mingw-w64 (posix threads), run through Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(tool_prefix i686-w64-mingw32)
set(wine_loader wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
