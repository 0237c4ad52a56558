# cmake -DSTAGE=<folder> -DBIN=<build bin folder> -DFILES=<program files> [-DSTRIP=<strip>] -P stage.cmake
# Lays out the program folder as it is shipped: the program files and the plugin folder, without
# what the linker leaves beside them, and with STRIP without debug information.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/Plugins)
file(COPY ${FILES} DESTINATION ${STAGE})
if(EXISTS ${BIN}/Plugins)
  file(COPY ${BIN}/Plugins/ DESTINATION ${STAGE}/Plugins
    PATTERN "*.a" EXCLUDE PATTERN "*.lib" EXCLUDE PATTERN "*.exp" EXCLUDE PATTERN "*.pdb" EXCLUDE
    PATTERN "*.ilk" EXCLUDE)
endif()
if(STRIP)
  file(GLOB_RECURSE binaries ${STAGE}/*.exe ${STAGE}/*.dll)
  foreach(b IN LISTS binaries)
    execute_process(COMMAND ${STRIP} --strip-debug ${b} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "strip failed on ${b}")
    endif()
  endforeach()
endif()
