// The program's save dialog, driven from outside: found among its windows, filled and closed
// with posted messages (a sent one could wait on the dialog's own modal loop).
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// A visible dialog ("#32770") of the process, or null when the time is up.
HWND waitForDialog(DWORD processId, DWORD timeoutMs = 10000);
// The file-name field: the Edit inside the ComboBoxEx32 with id 1148.
HWND fileNameField(HWND dialog);
// Puts the path (UTF-8) in the name field and presses Save.
bool chooseSavePath(HWND dialog, const std::string& path);
void cancelDialog(HWND dialog);
bool waitUntilGone(HWND window, DWORD timeoutMs = 10000);

class Program;
// Key T on the zoom window, then the typed path in the save dialog: true once the dialog
// has closed and the program has finished the export.
bool exportThumbnail(const Program& program, HWND zoomWindow, const std::string& typedPath);
// Key T, then Cancel: true once the dialog has closed and the program is back at rest.
bool cancelThumbnail(const Program& program, HWND zoomWindow);

}  // namespace e2e
