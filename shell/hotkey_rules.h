// The hotkey control's packed value and the check of an entry. Portable.
#pragma once

#include <cstdint>

#include "settings/settings.h"

// Modifier flags as the hotkey control reports them.
enum : int32_t {
    kHotkeyShift = 1,
    kHotkeyControl = 2,
    kHotkeyAlt = 4,
    kHotkeyExtended = 8,
};

struct HotkeyEntry {
    int32_t virtualKey;  // 0..255, 0 = none
    int32_t modifiers;   // 0..255
};

// The 16-bit value the control exchanges: the key's low byte in the low byte, the modifiers'
// low byte in the high byte. Higher bits of either value are dropped.
uint32_t packHotkey(int32_t virtualKey, int32_t modifiers);

// Bits 0-7 are the key, bits 8-15 the modifiers; anything above is ignored.
HotkeyEntry unpackHotkey(uint64_t packed);

enum class HotkeyCheck {
    kOn,        // a key with at least one modifier flag: stored, the hotkey is on
    kOff,       // nothing entered: stored as zeros, the hotkey is off
    kRejected,  // a key alone or modifiers alone: nothing is stored
};

HotkeyCheck checkHotkeyEntry(const HotkeyEntry& entry);

// RegisterHotKey's flags: Ctrl, and no WM_HOTKEY for the keyboard's auto-repeat (MOD_NOREPEAT).
enum : uint32_t { kRegisteredControl = 0x0002, kRegisteredNoRepeat = 0x4000 };

// The modifiers to register the hotkey in force with, 0 when it is only polled: a chord of Ctrl
// alone (the extended-key flag aside) and a key, switched on; a held chord reports once. Any other
// chord keeps the poll, which has always answered Ctrl + the key whatever modifiers were recorded.
uint32_t registeredHotkeyModifiers(const HotkeySetting& hotkey);
