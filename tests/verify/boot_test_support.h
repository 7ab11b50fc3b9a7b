// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cartridge/bytes.h"
#include "verify/verify_result.h"

namespace quillfen::testing {

/// One changed byte: byte `index` of the first occurrence of `code` in an image, XORed with
/// `flip`, and the one mismatch the check must then report.
struct Corruption {
  Bytes code;
  std::size_t index;
  std::uint8_t flip;
  std::string expected;
};

/// Checks that each corruption of `good` still boots and is reported as exactly its mismatch.
inline void ExpectEachCorruptionNamed(const Bytes& good, const std::vector<Corruption>& cases,
                                      const std::function<VerifyResult(const Bytes&)>& verify) {
  for (const Corruption& c : cases) {
    SCOPED_TRACE(c.expected);
    Bytes image = good;
    const auto at = std::search(image.begin(), image.end(), c.code.begin(), c.code.end());
    ASSERT_NE(at, image.end()) << "code not in the image";
    at[static_cast<std::ptrdiff_t>(c.index)] ^= c.flip;
    const VerifyResult result = verify(image);
    EXPECT_EQ(result.mismatches, std::vector<std::string>{c.expected}) << result.failure;
  }
}

}  // namespace quillfen::testing
