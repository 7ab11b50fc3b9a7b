// SPDX-License-Identifier: GPL-3.0-or-later
#include "cartridge/decoration.h"

#include "cartridge/spectrum128_setup.h"

namespace quillfen {
namespace {

constexpr int kShownAttributesLastRows = 0xDA;  // the last 8 character rows at 0xC000's screen

}  // namespace

int Decoration::CodeLength() const {
  return (border ? spectrum128::kBorderLength : 0) + (stripes ? kAttributeLoopLength : 0);
}

int Decoration::RowsLength() const {
  return (stripes ? kStripeRowsLength : 0) + (logo ? RowTableLength(logo_rows) : 0);
}

Decoration PlanDecoration(int length, int room, RowTable logo_rows, Comparison comparison) {
  const auto fits = [&](int left) {
    return comparison == Comparison::kStrict ? length < left : length <= left;
  };
  Decoration decoration{.logo_rows = logo_rows};
  int left = room - spectrum128::kBorderLength;
  decoration.border = fits(left);
  if (!decoration.border) return decoration;
  left -= kAttributeLoopLength + kStripeRowsLength;
  decoration.stripes = fits(left);
  if (!decoration.stripes) return decoration;
  decoration.logo = fits(left - RowTableLength(logo_rows));
  return decoration;
}

void EmitAttributeLoop(CartridgeMaker& out, const Decoration& decoration, int table) {
  const auto rows = std::size(kStripeRows) + (decoration.logo ? decoration.logo_rows.size() : 0);
  EmitRowCopyLoop(out, kShownAttributesLastRows, static_cast<int>(rows), table);
}

void EmitDecorationRows(CartridgeMaker& out, const Decoration& decoration) {
  if (!decoration.stripes) return;
  EmitRowTable(out, kStripeRows);
  if (decoration.logo) EmitRowTable(out, decoration.logo_rows);
}

}  // namespace quillfen
