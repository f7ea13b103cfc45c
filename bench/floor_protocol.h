// What the tray floor, the wake floor and the rest bench agree on: the floor's window classes
// and the messages that wake and hide it.
#pragma once

#include <windows.h>

constexpr char kTrayFloorClass[] = "VistrelTrayFloor";
constexpr char kFloorPopupClass[] = "VistrelFloorPopup";
// Sent by the wake floor: the tray floor shows its popup, as the wake message shows the zoom
// window.
constexpr UINT kFloorWakeMessage = WM_APP + 1;
// Posted by the rest bench: the popup hides and the snapshot is freed.
constexpr UINT kFloorHideMessage = WM_APP + 2;
constexpr UINT kFloorTrayMessage = WM_APP + 3;
