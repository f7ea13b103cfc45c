#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/commands.h"
#include "resources/resource_ids.h"
#include "tests/support/e2e.h"
#include "vistrel_version.h"

namespace {

HINSTANCE module() {
    return GetModuleHandleA(nullptr);
}

TEST(Resources, StringTableHoldsTheNameAndTheAutostartValueName) {
    for (UINT id : {IDS_APP_NAME, IDS_AUTOSTART_VALUE_NAME}) {
        char text[100] = {};
        EXPECT_EQ(LoadStringA(module(), id, text, sizeof(text)), 7) << id;
        EXPECT_STREQ(text, "Vistrel") << id;
    }
}

TEST(Resources, IconLoadsAtEveryDrawnSize) {
    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(module(), MAKEINTRESOURCEA(IDI_VISTREL), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

struct MenuEntry {
    UINT id;
    const char* text;
    bool grayed;
};

TEST(Resources, MenuBarHasFiveItemsWithGrayedDividers) {
    HMENU menu = LoadMenuA(module(), MAKEINTRESOURCEA(IDM_MENUBAR));
    ASSERT_NE(menu, nullptr);
    const MenuEntry expected[] = {{CMD_MAGNIFY, "Magnify", false},
                                  {65535, "||||||||||||", true},
                                  {CMD_WEBPAGE, "Freeware Kelvane (INET)", false},
                                  {65535, "||||||||||||", true},
                                  {CMD_EXIT, "&Exit", false}};
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    for (int i = 0; i < 5; ++i) {
        char text[64] = {};
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ(text, expected[i].text) << i;
        EXPECT_EQ(GetMenuItemID(menu, i), expected[i].id) << i;
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        EXPECT_EQ((state & MF_GRAYED) != 0, expected[i].grayed) << i;
        EXPECT_EQ(GetSubMenu(menu, i), nullptr) << i;
    }
    DestroyMenu(menu);
}

TEST(Resources, AcceleratorsAreAltSlashAltQuestionAndAltF4) {
    HACCEL table = LoadAcceleratorsA(module(), MAKEINTRESOURCEA(IDA_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    ACCEL entries[8] = {};
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 8), 3);
    EXPECT_EQ(entries[0].key, '/');
    EXPECT_EQ(entries[0].cmd, CMD_UNHANDLED_ACCEL);
    EXPECT_EQ(entries[0].fVirt & (FALT | FVIRTKEY), FALT);
    EXPECT_EQ(entries[1].key, '?');
    EXPECT_EQ(entries[1].cmd, CMD_UNHANDLED_ACCEL);
    EXPECT_EQ(entries[1].fVirt & (FALT | FVIRTKEY), FALT);
    EXPECT_EQ(entries[2].key, VK_F4);
    EXPECT_EQ(entries[2].cmd, CMD_MAGNIFY);
    EXPECT_EQ(entries[2].fVirt & (FALT | FVIRTKEY), FALT | FVIRTKEY);
    for (const ACCEL& entry : entries) {
        if (entry.cmd != 0) {
            EXPECT_NE(entry.fVirt & FNOINVERT, 0);
        }
    }
    DestroyAcceleratorTable(table);
}

// The version resource of the built vistrel.exe, read the way Explorer's Details tab reads it.
std::vector<BYTE> builtVersionBlock() {
    std::wstring path = e2e::widen(e2e::builtVistrelPath());
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        block.clear();
    }
    return block;
}

TEST(VersionResource, FixedVersionIsTheProjectVersion) {
    std::vector<BYTE> block = builtVersionBlock();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(VISTREL_VERSION_MINOR, VISTREL_VERSION_MAJOR);
    const DWORD low = MAKELONG(VISTREL_VERSION_TWEAK, VISTREL_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

// Explorer's Details tab finds the strings through the language and code page the block's
// translation names: each is there, the versions are the project's, the file name the built one.
TEST(VersionResource, StringsAreFoundThroughTheTranslationTheBlockNames) {
    std::vector<BYTE> block = builtVersionBlock();
    ASSERT_FALSE(block.empty());
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    wchar_t table[9] = {};
    swprintf(table, 9, L"%04X%04X", translation[0], translation[1]);
    const std::string path = e2e::builtVistrelPath();
    const struct {
        const wchar_t* name;
        std::wstring value;  // empty: any text
    } kStrings[] = {{L"ProductName", L"Vistrel"},
                    {L"ProductVersion", L"" VISTREL_VERSION_TEXT},
                    {L"FileVersion", L"" VISTREL_VERSION_TEXT},
                    {L"FileDescription", L""},
                    {L"LegalCopyright", L""},
                    {L"OriginalFilename", e2e::widen(path.substr(path.rfind('\\') + 1))}};
    for (const auto& expected : kStrings) {
        std::wstring key = std::wstring(L"\\StringFileInfo\\") + table + L"\\" + expected.name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(
            VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            << e2e::narrow(expected.name);
        EXPECT_NE(value[0], L'\0') << e2e::narrow(expected.name);
        if (!expected.value.empty()) {
            EXPECT_EQ(std::wstring(value), expected.value) << e2e::narrow(expected.name);
        }
    }
}

// The test program carries the same manifest as vistrel.exe.
TEST(Manifest, DeclaresPerMonitorDpiAwareness) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    ASSERT_NE(user32, nullptr);
    using GetContext = HANDLE(WINAPI*)();
    using GetAwareness = int(WINAPI*)(HANDLE);
    using AnyFunction = void (*)();
    auto getContext = reinterpret_cast<GetContext>(
        reinterpret_cast<AnyFunction>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    auto getAwareness = reinterpret_cast<GetAwareness>(reinterpret_cast<AnyFunction>(
        GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (getContext == nullptr || getAwareness == nullptr) {
        GTEST_SKIP() << "the platform has no per-thread DPI awareness";
    }
    const int kPerMonitorAware = 2;
    EXPECT_EQ(getAwareness(getContext()), kPerMonitorAware);
}

TEST(Manifest, RequestsCommonControlsSix) {
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof(data);
    EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &data));
}

}  // namespace
