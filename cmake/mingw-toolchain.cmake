# The part both mingw-w64 toolchain files share; they set CMAKE_SYSTEM_PROCESSOR, tool_prefix and
# the Wine loader (wine_loader) before including it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${tool_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tool_prefix}-g++-posix)
set(CMAKE_RC_COMPILER  ${tool_prefix}-windres)
set(PARLIX_WIDL        ${tool_prefix}-widl)
set(CMAKE_FIND_ROOT_PATH /usr/${tool_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${wine_loader})
# No mingw runtime DLLs to copy next to the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
