# SPDX-License-Identifier: GPL-3.0-or-later
# Spectrum snapshot readers: checked against Debian's libspectrum, an independent reader and
# writer of the same formats (tests only; the product's readers are its own).
if(TARGET spectrum_tests)
  target_link_libraries(spectrum_tests PRIVATE PkgConfig::LIBSPECTRUM)
endif()
