#include "shell/hotkey_rules.h"

#include <gtest/gtest.h>

namespace {

struct CheckCase {
    int32_t key;
    int32_t modifiers;
    HotkeyCheck expected;
    uint32_t registered;  // the modifiers the stored entry is registered with; 0: polled only
};

// Ctrl, reported once however long the chord is held.
const uint32_t kCtrlOnce = kRegisteredControl | kRegisteredNoRepeat;

class HotkeyEntryCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(HotkeyEntryCheck, AcceptsEmptyOrKeyWithModifierAndRegistersCtrlAlone) {
    const CheckCase& c = GetParam();
    HotkeyEntry entry{c.key, c.modifiers};
    EXPECT_EQ(checkHotkeyEntry(entry), c.expected);
    HotkeySetting stored{c.expected == HotkeyCheck::kOn ? 1 : 0, c.key, c.modifiers, 0};
    EXPECT_EQ(registeredHotkeyModifiers(stored), c.registered);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HotkeyEntryCheck,
    ::testing::Values(CheckCase{116, kHotkeyShift, HotkeyCheck::kOn, 0},  // Shift+F5
                      CheckCase{'Z', kHotkeyAlt, HotkeyCheck::kOn, 0},
                      CheckCase{'Z', kHotkeyControl | kHotkeyAlt, HotkeyCheck::kOn, 0},
                      CheckCase{'Z', kHotkeyControl | kHotkeyShift, HotkeyCheck::kOn, 0},
                      CheckCase{'Z', kHotkeyControl, HotkeyCheck::kOn, kCtrlOnce},
                      CheckCase{0x25, kHotkeyControl | kHotkeyExtended, HotkeyCheck::kOn,
                                kCtrlOnce},
                      // Extended keys pressed alone carry flag 8: a combination all the same.
                      CheckCase{0x25, kHotkeyExtended, HotkeyCheck::kOn, 0},
                      CheckCase{0, 0, HotkeyCheck::kOff, 0},
                      CheckCase{116, 0, HotkeyCheck::kRejected, 0},           // a key alone
                      CheckCase{0, kHotkeyShift, HotkeyCheck::kRejected, 0},  // a modifier alone
                      CheckCase{0, kHotkeyControl, HotkeyCheck::kRejected, 0},
                      CheckCase{0, kHotkeyControl | kHotkeyAlt, HotkeyCheck::kRejected, 0},
                      CheckCase{0, kHotkeyExtended, HotkeyCheck::kRejected, 0}));

struct PackCase {
    int32_t key;
    int32_t modifiers;
    uint32_t packed;
};

class HotkeyPacking : public ::testing::TestWithParam<PackCase> {};

TEST_P(HotkeyPacking, UsesTheLowByteOfEachValue) {
    EXPECT_EQ(packHotkey(GetParam().key, GetParam().modifiers), GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(Table, HotkeyPacking,
                         ::testing::Values(PackCase{116, 1, 0x0174}, PackCase{0, 0, 0},
                                           PackCase{'Z', 2, 0x025A}, PackCase{255, 255, 0xFFFF},
                                           // Stored values above 255 show as their low byte.
                                           PackCase{372, 257, 0x0174}, PackCase{-1, -1, 0xFFFF},
                                           PackCase{INT32_MIN, INT32_MAX, 0xFF00}));

TEST(HotkeyUnpacking, KeyInBitsZeroToSevenModifiersInEightToFifteen) {
    HotkeyEntry entry = unpackHotkey(0x0174);
    EXPECT_EQ(entry.virtualKey, 116);
    EXPECT_EQ(entry.modifiers, 1);
    entry = unpackHotkey(0xFFFFFFFFFFFF0A41ull);  // higher bits are not part of the value
    EXPECT_EQ(entry.virtualKey, 0x41);
    EXPECT_EQ(entry.modifiers, 0x0A);
    entry = unpackHotkey(0);
    EXPECT_EQ(entry.virtualKey, 0);
    EXPECT_EQ(entry.modifiers, 0);
}

TEST(HotkeyUnpacking, RoundTripsEveryPackedValue) {
    for (uint32_t packed = 0; packed <= 0xFFFF; ++packed) {
        HotkeyEntry entry = unpackHotkey(packed);
        ASSERT_EQ(packHotkey(entry.virtualKey, entry.modifiers), packed);
    }
}

}  // namespace
