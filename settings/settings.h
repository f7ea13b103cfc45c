// The settings file beside the program file, or the user's own (once it exists, or where the
// program's folder cannot take writes): every read and write goes to the file.
#pragma once

#include <cstdint>

#include "base/path_text.h"

// The file every read and write goes to.
struct SettingsFile {
    wchar_t path[kPathCapacity];  // empty: no settings file in this run
    // The file existed at start but could not be read: this run keeps its defaults and
    // leaves the file alone.
    bool unread;
};
SettingsFile& settingsFile();

// The zoom window's size in pixels and its zoom factor.
struct ViewSettings {
    int32_t width;
    int32_t height;
    int32_t zoom;
};

// The hotkey in force, on while useFlag is set.
struct HotkeySetting {
    int useFlag;
    int virtualKey;  // 0..255, 0 = none
    int modifiers;   // as the hotkey control reports them: 1 Shift, 2 Ctrl, 4 Alt, 8 ext.
    // Not stored: the system took the chord as a hotkey of the main window, so it is not polled.
    int registered;
};

// Chooses the settings file of this run and makes sure it exists. Called once at start,
// before anything is read or written. A write the file refuses later in the run moves the
// settings to the user's own file, which takes that write and every later one.
void openSettingsFile();
// The stored language (0 German, any other value English), or the system's when none is
// stored; English is then stored at once.
int loadLanguage();
void saveLanguage(int language);
// Values not stored read as 700 x 300 at zoom 2.
ViewSettings loadView();
void saveView(const ViewSettings& view);
// Values not stored read as 0: the hotkey off.
HotkeySetting loadHotkey();
void saveHotkey(const HotkeySetting& hotkey);
