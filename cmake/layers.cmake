# Layers see only what lies below them. Each layer gets an include root in the build folder
# that links exactly the source folders it may use (its own and the layers beneath), and its
# targets take that root instead of the repository: an include of a higher layer's header
# ("ui/..." from capture/) does not compile.
#   parlix_layer(<target> <layer> SEES <folder>...)
# Programs and tests at the top (app/, tests/, tools/, bench/) use the repository root.
function(parlix_layer target layer)
  cmake_parse_arguments(arg "" "" "SEES" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  foreach(folder IN LISTS arg_SEES)
    set(link ${root}/${folder})
    if(NOT EXISTS ${link})
      get_filename_component(parent ${link} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC RESULT failed)
      if(failed)
        # No symbolic links here (a Windows account without the right): no check, same build.
        message(STATUS "layer ${layer}: ${failed}; includes are not checked")
        set(root ${PROJECT_SOURCE_DIR})
        break()
      endif()
    endif()
  endforeach()
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
