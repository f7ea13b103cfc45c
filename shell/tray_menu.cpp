#include "shell/tray_menu.h"

#include "resources/commands.h"
#include "resources/resource_ids.h"
#include "shell/autostart.h"
#include "texts/texts.h"

UniqueMenu buildTrayMenu(HINSTANCE instance, HMENU* popup) {
    *popup = nullptr;
    UniqueMenu menu(LoadMenuA(instance, MAKEINTRESOURCEA(IDM_TRAYMENU)));
    HMENU items = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (items == nullptr) {
        return UniqueMenu();
    }
    // Command id 0: choosing it ends the menu without a command.
    AppendMenuW(items, MF_STRING, 0, uiString(UiText::CloseMenu));

    MENUITEMINFOW autostartItem = {};
    autostartItem.cbSize = sizeof(autostartItem);
    autostartItem.fMask = MIIM_TYPE;
    autostartItem.fType = MFT_STRING;
    autostartItem.dwTypeData = const_cast<wchar_t*>(uiString(UiText::StartWithWindows));
    SetMenuItemInfoW(items, CMD_AUTOSTART, FALSE, &autostartItem);
    // Task Manager switches the entry off, and another copy may take it over, while this
    // program runs: the mark is read afresh for every menu.
    CheckMenuItem(items, CMD_AUTOSTART, MF_BYCOMMAND | (autostartOn() ? MF_CHECKED : MF_UNCHECKED));
    *popup = items;
    return menu;
}

void showTrayMenu(HWND window, HINSTANCE instance) {
    HMENU items = nullptr;
    UniqueMenu menu = buildTrayMenu(instance, &items);
    if (!menu) {
        return;
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    UINT command = static_cast<UINT>(
        TrackPopupMenu(items, TPM_RETURNCMD, cursor.x, cursor.y, 0, window, nullptr));
    // Lets the owner's thread leave the menu state at once, as a tray menu needs.
    PostMessageA(window, WM_NULL, 0, 0);
    menu.reset();  // before the command, which may open a window of its own
    if (command > 0) {
        SendMessageA(window, WM_COMMAND, command, 0);
    }
}
