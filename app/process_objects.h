// The process-wide objects: declared here, defined in process_objects.cpp in the order of
// their construction.
#pragma once

#include <optional>

#include "app/app_state.h"
#include "magnifier/magnifier_window.h"
#include "picture/gdiplus_loader.h"
#include "shell/tray_icon.h"

extern AppState appState;
// Names the single-instance mutex and the wake message; the tray icon's tip.
constexpr char kInstanceName[] = "Vistrel";
// Made by the main window's creation, with the stored view: a second start never gets that far.
extern std::optional<Magnifier> magnifier;
extern std::optional<GdiplusLoader> exportLoader;
extern std::optional<GdiplusLoader> watermarkLoader;
// Constructed last, so it is the first to go at exit: the icon leaves the tray and the
// refresher stops while everything else still exists.
extern TrayIcon trayIcon;

// The language the texts are shown in (0 German, any other value English).
int appLanguage();
