// The process-wide objects that need construction before the main routine. They live in
// this one file because only within a translation unit is the order of construction fixed:
// the library search is narrowed before anything else, the wake message needs the instance
// name, the loaders follow (empty until the main window starts GDI+ in them), and the tray
// icon, made last, is the first to go.
#include "app/process_objects.h"

#include "base/win/system_library.h"

namespace {
// A library of a system name planted in a downloads folder beside the program, or in the
// current folder, must never be the one that loads, now or for any later load.
const int kLibrarySearchRestricted = restrictLibrarySearch();
}  // namespace

AppState appState = {};  // the hotkey use flag starts cleared

std::optional<Magnifier> magnifier;

namespace {
UINT registerWakeMessage() {
    appState.wakeMessage = RegisterWindowMessageA(kInstanceName);
    return appState.wakeMessage;
}
const UINT kWakeMessageRegistered = registerWakeMessage();
}  // namespace

// Started by the main window's creation: a second start never gets that far.
std::optional<GdiplusLoader> exportLoader;
std::optional<GdiplusLoader> watermarkLoader;
TrayIcon trayIcon;

int appLanguage() {
    return appState.language;
}
