#include "shell/hotkey_rules.h"

uint32_t packHotkey(int32_t virtualKey, int32_t modifiers) {
    uint32_t key = static_cast<uint32_t>(virtualKey) & 0xFFu;
    uint32_t flags = static_cast<uint32_t>(modifiers) & 0xFFu;
    return flags * 256u + key;
}

HotkeyEntry unpackHotkey(uint64_t packed) {
    HotkeyEntry entry;
    entry.virtualKey = static_cast<int32_t>(packed & 0xFFu);
    entry.modifiers = static_cast<int32_t>((packed >> 8) & 0xFFu);
    return entry;
}

HotkeyCheck checkHotkeyEntry(const HotkeyEntry& entry) {
    bool hasKey = entry.virtualKey != 0;
    bool hasModifiers = entry.modifiers != 0;
    if (hasKey && hasModifiers) {
        return HotkeyCheck::kOn;
    }
    if (!hasKey && !hasModifiers) {
        return HotkeyCheck::kOff;
    }
    return HotkeyCheck::kRejected;
}

uint32_t registeredHotkeyModifiers(const HotkeySetting& hotkey) {
    bool ctrlAlone = (hotkey.modifiers & ~kHotkeyExtended) == kHotkeyControl;
    bool hasKey = hotkey.virtualKey > 0 && hotkey.virtualKey <= 0xFF;
    return hotkey.useFlag != 0 && ctrlAlone && hasKey ? kRegisteredControl | kRegisteredNoRepeat
                                                      : 0u;
}
