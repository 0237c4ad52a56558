# Resources every deliverable carries: a version block and, for programs, a manifest.
#
#   parlix_version_resource(<target> NAME <file name> DESCRIPTION <text> VERSION <major.minor.revision>
#                           [PRODUCT <text>])
# Adds a version block to a program or DLL: file and product version <major>,<minor>,0,<revision>,
# shown as "<major>.<minor, 2 digits>.<revision, 4 digits>" (1.0.2 gives "1.00.0002"); file
# description DESCRIPTION; product name PRODUCT (default: DESCRIPTION); original and internal
# file name NAME (internal without its extension); language Chinese (PRC), Unicode. The target
# also gets PARLIX_FILE_VERSION_MAJOR/_MINOR/_REVISION as compile definitions, so the code can
# say its own version from the same numbers.
#
#   parlix_manifest(<target> [DPI_AWARE])
# Embeds the program manifest: common controls 6, Windows 7 to 11 compatibility, and with
# DPI_AWARE per-monitor DPI awareness (PerMonitorV2, falling back to PerMonitor, then to system
# awareness on systems that know neither).

set(PARLIX_RESOURCE_TEMPLATES ${CMAKE_CURRENT_LIST_DIR})

function(parlix_version_resource target)
  cmake_parse_arguments(arg "" "NAME;DESCRIPTION;VERSION;PRODUCT" "" ${ARGN})
  foreach(required NAME DESCRIPTION VERSION)
    if(NOT arg_${required})
      message(FATAL_ERROR "parlix_version_resource(${target}): ${required} is missing")
    endif()
  endforeach()
  if(NOT arg_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "parlix_version_resource(${target}): VERSION must be major.minor.revision")
  endif()
  set(v_major ${CMAKE_MATCH_1})
  set(v_minor ${CMAKE_MATCH_2})
  set(v_revision ${CMAKE_MATCH_3})
  set(minor_text "00${v_minor}")
  string(LENGTH "${minor_text}" n)
  math(EXPR start "${n} - 2")
  string(SUBSTRING "${minor_text}" ${start} 2 minor_text)
  set(revision_text "0000${v_revision}")
  string(LENGTH "${revision_text}" n)
  math(EXPR start "${n} - 4")
  string(SUBSTRING "${revision_text}" ${start} 4 revision_text)
  set(v_text "${v_major}.${minor_text}.${revision_text}")
  set(v_name "${arg_NAME}")
  get_filename_component(v_internal "${arg_NAME}" NAME_WE)
  set(v_description "${arg_DESCRIPTION}")
  set(v_product "${arg_PRODUCT}")
  if(NOT v_product)
    set(v_product "${arg_DESCRIPTION}")
  endif()
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "EXECUTABLE")
    set(v_type VFT_APP)
  else()
    set(v_type VFT_DLL)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PARLIX_RESOURCE_TEMPLATES}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  target_compile_definitions(${target} PRIVATE PARLIX_FILE_VERSION_MAJOR=${v_major}
    PARLIX_FILE_VERSION_MINOR=${v_minor} PARLIX_FILE_VERSION_REVISION=${v_revision})
endfunction()

function(parlix_manifest target)
  cmake_parse_arguments(arg "DPI_AWARE" "" "" ${ARGN})
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  set(m_name "Parlix.${name}")
  if(arg_DPI_AWARE)
    set(m_dpi "
  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">
    <windowsSettings>
      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>
      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>
    </windowsSettings>
  </application>")
  else()
    set(m_dpi "")
  endif()
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${PARLIX_RESOURCE_TEMPLATES}/program.manifest.in ${manifest} @ONLY)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
  # 1 = CREATEPROCESS_MANIFEST_RESOURCE_ID, 24 = RT_MANIFEST
  file(WRITE ${rc}.in "1 24 \"${manifest}\"\n")
  configure_file(${rc}.in ${rc} COPYONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
  target_sources(${target} PRIVATE ${rc})
  if(MSVC)
    # The linker would add a manifest of its own under the same resource id.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
