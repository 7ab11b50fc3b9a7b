# The ZX81 start-up code is run on an emulated Z80 (libz80ex) in its tests.
if(TARGET zx81_tests)
  target_link_libraries(zx81_tests PRIVATE /usr/lib/x86_64-linux-gnu/libz80ex.a)
endif()
