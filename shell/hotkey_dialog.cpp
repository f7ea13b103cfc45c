#include "shell/hotkey_dialog.h"
#include <commctrl.h>

#include "settings/settings.h"
#include "resources/resource_ids.h"
#include "shell/hotkey_rules.h"
#include "texts/texts.h"

namespace {

// The open dialog, which a second request focuses instead of opening another: DialogBoxParam
// hands its window only to the procedure, and a request may come with no owner to ask.
HWND& openDialog() {
    static HWND window = nullptr;
    return window;
}

// The dialog keeps the setting it works on, as the zoom window keeps its object; null where
// the window could not keep it.
HotkeySetting* hotkeyOf(HWND dialog) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the dialog keeps the setting as LONG_PTR
    return reinterpret_cast<HotkeySetting*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void onInitDialog(HWND dialog, LPARAM hotkey) {
    openDialog() = dialog;
    SetWindowLongPtrA(dialog, DWLP_USER, hotkey);
    const HotkeySetting* shown = hotkeyOf(dialog);
    if (shown == nullptr) {  // no dialog rather than one that could never store its entry
        EndDialog(dialog, IDCANCEL);
        return;
    }
    uint32_t packed = packHotkey(shown->virtualKey, shown->modifiers);
    SendDlgItemMessageA(dialog, IDC_HOTKEY_CONTROL, HKM_SETHOTKEY, packed, 0);
}

void refuse(HWND dialog, UiText message) {
    const wchar_t* text = uiString(message);
    MessageBoxW(dialog, text != nullptr ? text : L"", L"Error", MB_OK);
}

// The chosen hotkey is registered while the dialog is still open, on the window that owns it:
// a chord another program has registered is refused here, where the user can pick another,
// and the hotkey in force stays registered. False for such a chord.
bool takeHotkey(HWND dialog, HotkeySetting& hotkey, HotkeySetting chosen) {
    const HWND owner = GetWindow(dialog, GW_OWNER);
    unregisterHotkey(owner, hotkey);  // the program's own registration would refuse the chord
    chosen.registered = 0;
    registerHotkey(owner, chosen);
    if (chosen.registered == 0 && registeredHotkeyModifiers(chosen) != 0 &&
        GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED) {
        registerHotkey(owner, hotkey);
        return false;
    }
    hotkey = chosen;
    return true;
}

// A rejected entry leaves the hotkey setting as it was, so the poll goes on with the last accepted
// hotkey rather than with a key the user was told is not valid.
INT_PTR onOk(HWND dialog) {
    LRESULT packed = SendDlgItemMessageA(dialog, IDC_HOTKEY_CONTROL, HKM_GETHOTKEY, 0, 0);
    HotkeyEntry entry = unpackHotkey(static_cast<uint64_t>(packed));
    HotkeyCheck check = checkHotkeyEntry(entry);
    if (check == HotkeyCheck::kRejected) {
        refuse(dialog, UiText::HotkeyError);
        return 0;
    }
    HotkeySetting* kept = hotkeyOf(dialog);
    if (kept == nullptr) {
        EndDialog(dialog, IDCANCEL);
        return 1;
    }
    HotkeySetting& hotkey = *kept;
    HotkeySetting chosen = hotkey;
    chosen.virtualKey = entry.virtualKey;
    chosen.modifiers = entry.modifiers;
    chosen.useFlag = check == HotkeyCheck::kOn ? 1 : 0;
    if (!takeHotkey(dialog, hotkey, chosen)) {
        refuse(dialog, UiText::HotkeyTaken);
        return 0;
    }
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

void showHotkeyDialog(HINSTANCE instance, HWND owner, HotkeySetting& hotkey) {
    if (openDialog() != nullptr) {
        SetFocus(openDialog());
        return;
    }
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_HOTKEY), owner, hotkeyDialogProc,
                    reinterpret_cast<LPARAM>(&hotkey));
    openDialog() = nullptr;
}

HWND openHotkeyDialog() {
    return openDialog();
}

INT_PTR CALLBACK hotkeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog(dialog, lParam);
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
