# SPDX-License-Identifier: GPL-3.0-or-later
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
  share/man/man1/quillfen-cli.1.gz
  share/doc/quillfen/copyright
  share/doc/quillfen/changelog.gz)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/quillfen.png)
endforeach()
if(WITH_WINDOW)
  list(APPEND expected bin/quillfen share/man/man1/quillfen.1.gz)
endif()
foreach(file ${expected})
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "missing after install: ${file}")
  endif()
endforeach()

# The changelog's latest entry and every manual page name the version being installed, so a
# version bump cannot ship last release's documents.
function(installed_text file result)
  execute_process(COMMAND gzip -dc "${PREFIX}/${file}" OUTPUT_VARIABLE text RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${file} is not a gzip file")
  endif()
  set(${result} "${text}" PARENT_SCOPE)
endfunction()
installed_text(share/doc/quillfen/changelog.gz changelog)
if(NOT changelog MATCHES "^quillfen \\(${VERSION}\\) ")
  message(FATAL_ERROR "the changelog's latest entry is not version ${VERSION}")
endif()
file(GLOB pages RELATIVE "${PREFIX}" "${PREFIX}/share/man/man1/*.1.gz")
foreach(page ${pages})
  installed_text(${page} text)
  if(NOT text MATCHES "\n\\.TH [^\n]* \"quillfen[-a-z]* ${VERSION}\"")
    message(FATAL_ERROR "${page} does not name version ${VERSION}")
  endif()
endforeach()

list(LENGTH expected count)
message(STATUS "install holds all ${count} expected files")
