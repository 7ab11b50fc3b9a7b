# The Spectrum start-up code is run on an emulated Z80 (libz80ex) in the Spectrum tests.
if(TARGET spectrum_tests)
  find_library(Z80EX_LIBRARY NAMES libz80ex.a z80ex REQUIRED)
  target_link_libraries(spectrum_tests PRIVATE ${Z80EX_LIBRARY})
endif()
