# Start-up code is run on an emulated Z80 (Debian's libz80ex) in the machine tests.
find_library(QUILLFEN_Z80EX_LIBRARY NAMES libz80ex.a z80ex REQUIRED)
foreach(target zx80_tests zx81_tests spectrum_tests)
  if(TARGET ${target})
    target_link_libraries(${target} PRIVATE ${QUILLFEN_Z80EX_LIBRARY})
  endif()
endforeach()

# Spectrum snapshot readers: checked against Debian's libspectrum, an independent reader and
# writer of the same formats (tests only; the product's readers are its own).
if(TARGET spectrum_tests)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBSPECTRUM REQUIRED IMPORTED_TARGET libspectrum)
  target_link_libraries(spectrum_tests PRIVATE PkgConfig::LIBSPECTRUM)
endif()
