# Start-up code is run on an emulated Z80 (Debian's libz80ex) in the machine tests.
find_library(QUILLFEN_Z80EX_LIBRARY NAMES libz80ex.a z80ex REQUIRED)
foreach(target zx80_tests zx81_tests spectrum_tests)
  if(TARGET ${target})
    target_link_libraries(${target} PRIVATE ${QUILLFEN_Z80EX_LIBRARY})
  endif()
endforeach()
