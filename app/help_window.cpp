#include "app/help_window.h"

#include "resources/commands.h"
#include "base/win/handle_guards.h"
#include "app/help_layout.h"
#include "settings/settings.h"
#include "shell/hide_to_tray.h"
#include "texts/texts.h"

namespace {

const int kTextMargin = 30;

// One opaque fill per pixel row: the colour changes every row, so no brush is worth making.
void fillGradient(HDC dc, int width, int height) {
    for (int row = 0; row < height; ++row) {
        SetBkColor(dc, static_cast<COLORREF>(helpGradientColour(row, height)));
        RECT line = {0, row, width, row + 1};
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
    }
}

HFONT createHelpFont(int width) {
    LOGFONTA font = {};
    font.lfHeight = helpFontHeight(width);
    font.lfWeight = FW_BOLD;
    font.lfItalic = 1;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

// Black first, then white shifted up and left by the shadow offset, which shows the black
// copy as the shadow.
void drawShadowedText(HDC dc, const RECT& client, int shadowOffset) {
    const wchar_t* text = helpText();
    if (text == nullptr) {
        return;
    }
    int length = lstrlenW(text);
    RECT area = {kTextMargin, kTextMargin, client.right, client.bottom};
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, text, length, &area, DT_WORDBREAK | DT_NOCLIP);
    area =
        RECT{kTextMargin + shadowOffset, kTextMargin + shadowOffset, client.right, client.bottom};
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextW(dc, text, length, &area, DT_WORDBREAK | DT_NOCLIP);
}

void setLanguage(HWND window, int& language, int chosen) {
    language = chosen;
    saveLanguage(chosen);
    RECT client = {};
    GetClientRect(window, &client);
    RedrawWindow(window, &client, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool isKeyDown(int virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

}  // namespace

void paintHelpWindow(HDC dc, HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    fillGradient(dc, width, height);

    // Without the font the text still appears, in whatever font the context holds.
    UniqueFont font(createHelpFont(width));
    SelectGuard selected(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    drawShadowedText(dc, client, helpShadowOffset(width));
}

// The held keys decide, not the reported one, in a fixed order: E wins over D, and so on.
void handleHelpWindowKey(HWND window, int& language) {
    if (isKeyDown('E')) {
        setLanguage(window, language, 1);
    } else if (isKeyDown('D')) {
        setLanguage(window, language, 0);
    } else if (isKeyDown('T')) {
        hideToTray(window);
    } else if (isKeyDown('H')) {
        SendMessageA(window, WM_COMMAND, CMD_SET_HOTKEY, 0);
    } else if (isKeyDown(VK_ESCAPE)) {
        SendMessageA(window, WM_COMMAND, CMD_EXIT, 0);
    }
}
