# The ZX80 boot tests run the start-up code on libz80ex.
if(TARGET zx80_tests)
  find_library(QUILLFEN_Z80EX_LIBRARY NAMES libz80ex.a z80ex REQUIRED)
  target_link_libraries(zx80_tests PRIVATE ${QUILLFEN_Z80EX_LIBRARY})
endif()
