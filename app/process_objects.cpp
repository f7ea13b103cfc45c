// The process-wide objects that need construction before the main routine. They live in
// this one file because only within a translation unit is the order of construction fixed:
// the wake message needs the instance name, and the loaders come last.
#include "app/app_state.h"
#include "magnifier/magnifier_window.h"
#include "picture/gdiplus_loader.h"

AppState appState = {};  // the hotkey use flag starts cleared

TextBuffer instanceName;
namespace {
const int kInstanceNameAssigned = instanceName.assign("Vistrel");
}

Magnifier magnifier(600, 150, 2);

namespace {
UINT registerWakeMessage() {
    appState.wakeMessage = RegisterWindowMessageA(instanceName.text());
    return appState.wakeMessage;
}
const UINT kWakeMessageRegistered = registerWakeMessage();
}  // namespace

GdiplusLoader exportLoader;
GdiplusLoader watermarkLoader;
