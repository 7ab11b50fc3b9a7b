# SPDX-License-Identifier: GPL-3.0-or-later
# The documents an installed copy carries (compressed manual pages, copyright, changelog) and
# the Debian package that `cpack -G DEB` makes of the installed files.

# gzip -9n: the best compression and no name or time stamp, so the same text always gives the
# same bytes (Debian expects both).
find_program(QUILLFEN_GZIP gzip REQUIRED)
set(QUILLFEN_COMPRESSED_DIR ${CMAKE_BINARY_DIR}/compressed)
function(quillfen_compress source result)
  get_filename_component(name ${source} NAME)
  set(copy ${QUILLFEN_COMPRESSED_DIR}/${name})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLFEN_COMPRESSED_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND ${QUILLFEN_GZIP} -9nf ${copy}
    DEPENDS ${source} VERBATIM)
  set(${result} ${copy}.gz PARENT_SCOPE)
endfunction()

set(manual_pages ${PROJECT_SOURCE_DIR}/packaging/quillfen-cli.1)
if(QUILLFEN_BUILD_WINDOW)
  list(APPEND manual_pages ${PROJECT_SOURCE_DIR}/packaging/quillfen.1)
endif()
set(compressed_manual_pages)
foreach(page ${manual_pages})
  quillfen_compress(${page} compressed)
  list(APPEND compressed_manual_pages ${compressed})
endforeach()
quillfen_compress(${PROJECT_SOURCE_DIR}/packaging/changelog compressed_changelog)
add_custom_target(quillfen_documents ALL DEPENDS ${compressed_manual_pages} ${compressed_changelog})

install(FILES ${compressed_manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/copyright ${compressed_changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME quillfen)
set(CPACK_PACKAGE_VENDOR "Quillfen")
set(CPACK_PACKAGE_CONTACT "Quillfen developers <quillfen@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "ZX Interface 2 ROM cartridge maker for ZX80, ZX81 and Spectrum programs")
set(CPACK_PACKAGE_DESCRIPTION [=[
Quillfen turns ZX80 and ZX81 program files (.P, .81, .P81, .O, .80, .P80)
and 48K ZX Spectrum snapshots (.SNA, .Z80, .SZX) and tapes (TAP, TZX, PZX,
CSW; loaded on an emulated Spectrum) into ROM cartridge images for the ZX
Interface 2 cartridge port, ready to be burnt into EPROMs. Each
image carries start-up code that copies the program into RAM and starts it;
ZX80 and ZX81 programs run on a ZX Spectrum 128 from the ZX80 or ZX81 ROM
image carried in the cartridge.

It comes as a small window, quillfen, and a command-line companion,
quillfen-cli, which converts whole collections and can boot each image on an
emulated ZX Spectrum 128 to check it before it is burnt.

Quillfen carries no ROM images: the user supplies ZX81_ROM.bin, ZX80_ROM.bin
or SPECTRUM_ROM.bin, in ~/.local/share/quillfen for example.]=])
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Stripped programs in the package; the build folder's programs keep their debug data. (CPack's
# own -dbgsym package is not used: CMake 3.25 lists build-folder paths in its md5sums.)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR DEB)
include(CPack)
