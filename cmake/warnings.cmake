# Warnings as errors for the project's own targets (not for third-party code such as GoogleTest).
function(parlix_warnings target)
  if(MSVC)
    # The same families of warnings as the gcc set below: gcc's set leaves out conversions
    # (-Wconversion, -Wsign-conversion) and shadowing (-Wshadow), so MSVC's are off too.
    target_compile_options(${target} PRIVATE /W4 /WX /utf-8 /permissive- /Zc:__cplusplus
      /wd4244 /wd4267 /wd4245 /wd4456 /wd4457 /wd4458 /wd4459)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
      -Wno-missing-field-initializers -Wno-cast-function-type)
  endif()
endfunction()

# Unicode Win32 API everywhere.
function(parlix_win32_defs target)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    _WIN32_WINNT=0x0601 WINVER=0x0601)
  if(MSVC)
    # The C library's bounded functions are used with their sizes; its "secure" variants are not.
    target_compile_definitions(${target} PRIVATE _CRT_SECURE_NO_WARNINGS)
  endif()
endfunction()

# Programs enter at wWinMain/wmain.
function(parlix_unicode_entry target)
  if(MINGW)
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()
