#include "hook/hook_protocol.h"

#include <gtest/gtest.h>

namespace parlix::hook {
namespace {

struct Key {
    unsigned vk;
    bool ctrl, shift, alt;
    int id;
};

class HotkeyMap : public testing::TestWithParam<Key> {};

TEST_P(HotkeyMap, KeyInChatWindowBecomesHotkeyId) {
    const Key k = GetParam();
    EXPECT_EQ(HotkeyFor(k.vk, k.ctrl, k.shift, k.alt), k.id);
}

constexpr unsigned kTab = 0x09, kPrior = 0x21, kNext = 0x22;

INSTANTIATE_TEST_SUITE_P(
    Keys, HotkeyMap,
    testing::Values(Key{kTab, true, false, false, 2}, Key{kTab, true, true, false, 3},
                    Key{kNext, true, false, false, 2}, Key{kPrior, true, false, false, 3},
                    Key{'0', true, false, false, 4}, Key{'1', true, false, false, 5}, Key{'9', true, false, false, 13},
                    Key{kTab, false, false, false, 0},  // plain Tab moves between controls as usual
                    Key{'1', false, false, false, 0},   // typing digits stays typing
                    Key{'1', true, false, true, 0},     // Ctrl+Alt is AltGr on many layouts
                    Key{'1', true, true, false, 0}, Key{'A', true, false, false, 0},
                    Key{kNext, true, true, false, 0}));

TEST(TakeFocusNotice, CountsOnlyWhileFreshAcrossTheTickCountsWrap) {
    struct Case {
        std::uint32_t askedAt, now;
        bool fresh;
    };
    for (const Case c : {Case{5000, 5000, true}, Case{5000, 6000, true}, Case{5000, 6001, false},
                         Case{0xFFFFFF00u, 0x100, true},   // the count wrapped since the notice
                         Case{0xFFFFFF00u, 0x400, false},  // ... and then grew old
                         Case{6000, 5000, false}})         // from the future: not trusted
        EXPECT_EQ(TakeFocusIsFresh(c.askedAt, c.now), c.fresh) << c.askedAt << " at " << c.now;
}

}  // namespace
}  // namespace parlix::hook
