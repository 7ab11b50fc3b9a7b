# SPDX-License-Identifier: GPL-3.0-or-later
# Hardening of the programs that are shipped: position-independent executables, bounds-checked
# C library calls, stack protectors and a read-only relocation table resolved at start-up.
# Left out of the sanitizer and fuzzing builds, whose instrumentation does that checking itself.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# The C library's checked calls need an optimised build; a Debug build would only warn.
add_compile_options(-fstack-protector-strong
                    "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
add_link_options(-Wl,-z,relro -Wl,-z,now)
