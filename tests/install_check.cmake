# Installs the build into PREFIX and fails unless every expected file is there.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
  bin/quillfen-cli
  share/applications/quillfen.desktop
  share/mime/packages/quillfen.xml
  share/icons/hicolor/scalable/apps/quillfen.svg
  share/man/man1/quillfen-cli.1)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/quillfen.png)
endforeach()
if(WITH_WINDOW)
  list(APPEND expected bin/quillfen)
endif()
foreach(file ${expected})
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "missing after install: ${file}")
  endif()
endforeach()
list(LENGTH expected count)
message(STATUS "install holds all ${count} expected files")
