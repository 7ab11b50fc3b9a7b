// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cartridge/cartridge_maker.h"
#include "cartridge/row_tables.h"

// The decoration a ZX81 or ZX80 cartridge paints while it starts: a black border, the stripes
// (the attribute loop and the stripe rows) and the machine's logo rows behind them. It costs room
// that the program may need, so a long program drops the logo first, then the stripes, then the
// border.
namespace quillfen {

inline constexpr int kAttributeLoopLength = kRowCopyLoopLength;

struct Decoration {
  bool border = false;
  bool stripes = false;
  bool logo = false;
  RowTable logo_rows;  // the machine's logo, painted behind the stripes

  /// Bytes the border and the attribute loop add to the start-up code.
  int CodeLength() const;
  /// Bytes of the rows behind the start-up code: the stripe rows, then the logo rows.
  int RowsLength() const;
  int Length() const { return CodeLength() + RowsLength(); }
};

/// Whether a part is kept when the program leaves exactly its bytes free (kInclusive) or only
/// when it leaves more (kStrict).
enum class Comparison { kStrict, kInclusive };

/// The decoration for a program of `length` bytes where `room` bytes hold the program and the
/// decoration: the border, the stripes and the logo are decided in that order, each kept while
/// `length` is below (kStrict) or at most (kInclusive) `room` less the parts kept so far and
/// itself, so each part is kept only with the one before it.
Decoration PlanDecoration(int length, int room, RowTable logo_rows, Comparison comparison);

/// Paints the decoration's rows, read from `table`, into the shown screen's attributes at
/// 0xDA00 + E: the stripe rows, and the logo rows after them when the logo is kept.
void EmitAttributeLoop(CartridgeMaker& out, const Decoration& decoration, int table);

/// The rows the attribute loop reads: the stripe rows when the stripes are kept, then the logo
/// rows when the logo is; nothing without stripes.
void EmitDecorationRows(CartridgeMaker& out, const Decoration& decoration);

}  // namespace quillfen
