// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

#include "cartridge/cartridge_maker.h"
#include "spectrum/snapshot_state.h"

// The Z80 code of the Spectrum cartridges. Stage 1 runs from the code bank at 0x0000, clears the
// screen, draws the logo and moves stage 2 into RAM; stage 2 waits for the marked banks and copies
// them; the 64K cartridge's stage 3 runs from the patched ROM copy; the register block restores the
// snapshot's processor state and resumes it. Each Emit function appends one block at the image's
// end; a value out of range throws quillfen::Error from AppendWord or AppendByte.
namespace quillfen::spectrum {

inline constexpr int kStage1Length = 75;             // with the copy of the free page's tail
inline constexpr int kStage1LengthWithoutTail = 64;  // the unused area reaches the page's end
inline constexpr int kStage1Length64K = 62;
inline constexpr int kLogoTableLength = 107;
inline constexpr int kStage2Length64K = 68;

/// The register block: 65 bytes ending in JP PC for a Z80 snapshot, 64 ending in RETN for SNA.
constexpr int RegisterBlockLength(SnapshotKind kind) {
  return kind == SnapshotKind::kSna ? 64 : 65;
}
/// Stage 2 of the 48K cartridge: 130 (Z80) or 129 (SNA) bytes.
constexpr int Stage2Length48K(SnapshotKind kind) { return 65 + RegisterBlockLength(kind); }
/// Stage 3 of the 64K cartridge: 76 (Z80) or 75 (SNA) bytes.
constexpr int Stage3Length(SnapshotKind kind) { return 11 + RegisterBlockLength(kind); }

/// The value loaded into R so that R holds the snapshot's `r` once the program resumes: the four
/// instructions after LD R,A advance the low seven bits by 4; bit 7 is kept. Throws for r > 255.
int RefreshValueBeforeResume(std::int32_t r);

/// Stage 1's first 37 bytes: clear screen and border, draw the logo table at `logo_table`.
void EmitStage1Start(CartridgeMaker& out, int logo_table);

/// Stage 1's end in the 48K cartridge: copy the free page's prefix and stage 2 (at L1 + 107 in the
/// code bank) to `page_base`, the tail (when `top` is below the page's end) to `top`, clear the
/// unused area above stage 2 (the Spectrum's RAM holds anything at power-on), JP low.
void EmitStage1Continuation48K(CartridgeMaker& out, int stage1_length, int page_base, int low,
                               int top, int stage2_length);

/// Stage 1's end in the 64K cartridge: stage 2 to 0x8000, RAM data to 0xC0ED, JP 0x8000.
void EmitStage1Continuation64K(CartridgeMaker& out);

/// The 13 entries of the logo (a colour band and the letters "ZX"), 107 bytes.
void EmitLogoTable(CartridgeMaker& out);

/// Stage 2 of the 48K cartridge, run at `low`: fetches page `page_a` (marker 0x01) and `page_b`
/// (marker 0x02), puts their first bytes back around the wait for the ROM, restores `state`.
void EmitStage2For48K(CartridgeMaker& out, const SnapshotState& state, SnapshotKind kind, int low,
                      int page_a, int page_b, int saved_a, int saved_b);

/// Stage 2 of the 64K cartridge, run at 0x8000 (68 bytes); ends with JP 0x386E into stage 3.
void EmitStage2For64K(CartridgeMaker& out, int saved_80ed, int saved_4000);

/// Where the ROM copy of the 64K cartridge keeps the 237 RAM bytes that belong at 0x8000: above
/// 0x3900, so that the bytes an IM 2 vector is read from (I * 256 + 0xFF and + 0x100 for I = 0x38
/// to 0x3C) stay 0xFF as in the Spectrum ROM.
inline constexpr int kRomCopyRamBytes = 0x3901;
inline constexpr int kRomCopyRamBytesLength = 237;

/// Stage 3 of the 64K cartridge, run at 0x386E of the ROM copy: the 237 RAM bytes at 0x3901 to
/// 0x8000, then the register block.
void EmitStage3(CartridgeMaker& out, const SnapshotState& state, SnapshotKind kind);

/// Restores every register of `state` and resumes it. `stack_data` (S) is the address of the
/// block's last four bytes (AF' and AF) once the block is in place.
void EmitRegisterBlock(CartridgeMaker& out, const SnapshotState& state, SnapshotKind kind,
                       int stack_data);

}  // namespace quillfen::spectrum
