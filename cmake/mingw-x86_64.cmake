# Cross toolchain: 64-bit Windows with Debian's mingw-w64 (posix threads), run through 64-bit
# Wine; used on hosts that run no 32-bit code (scripts/lib/env.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(tool_prefix x86_64-w64-mingw32)
set(wine_loader /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
