#include "text/ReplacedPieces.h"

#include <gtest/gtest.h>

// Gaps of 4 GiB and more take another form than short ones; both must come back in order, whichever
// end they were added at, and the same after inverting.
TEST(ReplacedPieces, GapsOfEverySizeComeBackInOrder) {
    constexpr TTextPos kHuge = TTextPos{5} << 30;
    TReplacedPieces pieces(4, 3);
    pieces.Append(10);
    pieces.Append(kHuge);
    pieces.Prepend(kHuge + 1);
    pieces.Prepend(0);
    std::vector<TTextPos> starts;
    pieces.ForEach(100, [&starts](TTextPos at) { starts.push_back(at); });
    const std::vector<TTextPos> expected = {100, 104, 108 + kHuge + 1, 122 + kHuge + 1, 126 + 2 * kHuge + 1};
    EXPECT_EQ(starts, expected);
    EXPECT_EQ(pieces.Count(), 5);

    const std::unique_ptr<TReplacedPieces> inverted = pieces.Inverted();
    EXPECT_EQ(inverted->Out(), 3);
    EXPECT_EQ(inverted->In(), 4);
    starts.clear();
    inverted->ForEach(0, [&starts](TTextPos at) { starts.push_back(at); });
    EXPECT_EQ(starts, (std::vector<TTextPos>{0, 3, 6 + kHuge + 1, 19 + kHuge + 1, 22 + 2 * kHuge + 1}));
}
