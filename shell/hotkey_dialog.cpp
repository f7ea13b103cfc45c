#include "shell/hotkey_dialog.h"
#include <commctrl.h>

#include "settings/settings.h"
#include "resources/resource_ids.h"
#include "shell/hotkey_rules.h"
#include "texts/texts.h"

HotkeyDialog hotkeyDialog = {nullptr, nullptr};

namespace {

void onInitDialog(HWND dialog) {
    hotkeyDialog.window = dialog;
    uint32_t packed = packHotkey(hotkeyDialog.hotkey->virtualKey, hotkeyDialog.hotkey->modifiers);
    SendDlgItemMessageA(dialog, IDC_HOTKEY_CONTROL, HKM_SETHOTKEY, packed, 0);
}

// A rejected entry leaves the hotkey setting as it was, so the poll goes on with the last accepted
// hotkey rather than with a key the user was told is not valid.
INT_PTR onOk(HWND dialog) {
    LRESULT packed = SendDlgItemMessageA(dialog, IDC_HOTKEY_CONTROL, HKM_GETHOTKEY, 0, 0);
    HotkeyEntry entry = unpackHotkey(static_cast<uint64_t>(packed));
    HotkeyCheck check = checkHotkeyEntry(entry);
    if (check == HotkeyCheck::kRejected) {
        const wchar_t* text = uiString(UiText::HotkeyError);
        MessageBoxW(dialog, text != nullptr ? text : L"", L"Error", MB_OK);
        return 0;
    }
    HotkeySetting& hotkey = *hotkeyDialog.hotkey;
    hotkey.virtualKey = entry.virtualKey;
    hotkey.modifiers = entry.modifiers;
    hotkey.useFlag = check == HotkeyCheck::kOn ? 1 : 0;
    saveHotkey(hotkey);
    EndDialog(dialog, IDOK);
    return 1;
}

}  // namespace

void registerHotkey(HWND window, HotkeySetting& hotkey) {
    unregisterHotkey(window, hotkey);
    UINT modifiers = registeredHotkeyModifiers(hotkey);
    if (modifiers != 0 && RegisterHotKey(window, static_cast<int>(kHotkeyId), modifiers,
                                         static_cast<UINT>(hotkey.virtualKey))) {
        hotkey.registered = 1;
    }
}

void unregisterHotkey(HWND window, HotkeySetting& hotkey) {
    if (hotkey.registered != 0) {
        UnregisterHotKey(window, static_cast<int>(kHotkeyId));
        hotkey.registered = 0;
    }
}

int showHotkeyDialog(HINSTANCE instance, HWND owner, HotkeySetting& hotkey) {
    if (hotkeyDialog.window != nullptr) {
        SetFocus(hotkeyDialog.window);
        return 0;
    }
    hotkeyDialog.hotkey = &hotkey;
    INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_HOTKEY), owner, hotkeyDialogProc, 0);
    hotkeyDialog.window = nullptr;
    if (result == IDOK) {
        registerHotkey(owner, hotkey);
    }
    return 0;
}

INT_PTR CALLBACK hotkeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog(dialog);
            return 0;  // no default focus from the system
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    return onOk(dialog);
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return 1;
                default:
                    return 0;
            }
        default:
            return 0;
    }
}
