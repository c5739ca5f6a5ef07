#include <gtest/gtest.h>

#include "model/keycap.h"

namespace tavrik::model::keycap_test {
namespace {

bool inside(const BoxF& inner, const BoxF& outer) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

TEST(Keycap, FaceAndLabelLieInsideTheCapAndCapsKeepTheirGaps) {
    for (int s = 0; s < kSlotCount; ++s) {
        if (!slot(s).drawn()) continue;
        const Keycap k = keycap(slot(s));
        EXPECT_TRUE(inside(k.face, k.cap)) << s;
        EXPECT_TRUE(inside(k.label, k.cap)) << s;
        EXPECT_GT(k.face.width, 10) << s;
        EXPECT_GT(k.face.height, 10) << s;
        for (int o = s + 1; o < kSlotCount; ++o) {
            if (!slot(o).drawn()) continue;
            const BoxF a = k.cap, b = keycap(slot(o)).cap;
            // A pixel apart at least: no two caps merge into one block.
            const bool apart = a.left + a.width + 1 <= b.left || b.left + b.width + 1 <= a.left ||
                               a.top + a.height + 1 <= b.top || b.top + b.height + 1 <= a.top;
            EXPECT_TRUE(apart) << s << " and " << o;
        }
    }
}

TEST(Keycap, LongLabelsTakeTheSmallSize) {
    KeySlot s = slot(63);  // "A"
    EXPECT_EQ(keycap(s).labelPixels, 11);
    s.label = "Caps";
    EXPECT_EQ(keycap(s).labelPixels, 9);
    s.label = "\xE2\x86\x91";  // an arrow: three bytes, one glyph
    EXPECT_EQ(keycap(s).labelPixels, 11);
}

}  // namespace
}  // namespace tavrik::model::keycap_test
