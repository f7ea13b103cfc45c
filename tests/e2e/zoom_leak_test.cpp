// GDI hygiene of the zoom window, counted from Wine's GDI trace; the counter itself is
// proved first on a probe process that leaks on request.
#include <gtest/gtest.h>

#include <cstdlib>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/gdi_counter.h"
#include "tests/support/wine_debug_launch.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::GdiCounter;
using e2e::Program;

// ---- reading the trace ----

struct TraceCase {
    const char* name;
    const char* text;
    long expected;
};

class GdiTrace : public ::testing::TestWithParam<TraceCase> {};

TEST_P(GdiTrace, GivesTheCountAfterTheLastEvent) {
    EXPECT_EQ(e2e::gdiCountFromTrace(GetParam().text), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GdiTrace,
    ::testing::Values(
        TraceCase{"empty", "", -1},
        TraceCase{"no events", "0024:trace:gdi:create_brush 0x1100032\n", -1},
        TraceCase{"allocation",
                  "0024:trace:gdi:alloc_gdi_handle allocated NTGDI_OBJ_BRUSH 0x1100038 25/65536\n",
                  25},
        TraceCase{"free reports the count before it",
                  "0024:trace:gdi:alloc_gdi_handle allocated NTGDI_OBJ_BRUSH 0x1100038 25/65536\n"
                  "0024:trace:gdi:NtGdiDeleteObjectApp 0x1100038\n"
                  "0024:trace:gdi:free_gdi_handle freed NTGDI_OBJ_BRUSH 0x1100038 25/65536\n",
                  24},
        TraceCase{"last line without newline, other lines after the event",
                  "0024:trace:gdi:alloc_gdi_handle allocated NTGDI_OBJ_DC 0x1 7/65536\n"
                  "0024:trace:gdi:create_brush 0x1100032\n"
                  "0024:trace:gdi:NtGdiCreateSolidBrush RGB(01,00,00)",
                  7},
        TraceCase{"cut line at the start of a tail",
                  "ed NTGDI_OBJ_PEN 0x2 9/65536\n"
                  "0031:trace:gdi:free_gdi_handle freed NTGDI_OBJ_PEN 0x2 9/65536\n",
                  8},
        TraceCase{"damaged count", "0024:trace:gdi:alloc_gdi_handle allocated X 0x1 /65536\n",
                  -1}));

// ---- the counter on a process that leaks on request ----

const char kProbeVariable[] = "VISTREL_GDI_PROBE";
const char kProbeClass[] = "VistrelGdiProbe";
const UINT kMakeBrushes = WM_APP + 1;  // wParam 1: keep them (a leak); 0: delete them again

LRESULT CALLBACK probeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMakeBrushes) {
        for (LPARAM i = 0; i < lParam; ++i) {
            HBRUSH brush = CreateSolidBrush(RGB(i & 0xFF, 1, 2));
            if (wParam == 0) {
                DeleteObject(brush);
            }
        }
        return 1;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Runs only as the probe process that the next test starts; skipped in every normal run.
TEST(GdiLeakProbe, ServesUntilClosed) {
    if (getenv(kProbeVariable) == nullptr) {
        GTEST_SKIP() << "runs only as a probe process";
    }
    e2e::registerTestClass(kProbeClass, probeProc);
    HWND window = CreateWindowExA(0, kProbeClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
}

TEST(GdiCounter, SeesADeliberateLeakAndNothingElse) {
    GdiCounter counter;
    // A copy of this test program of its own, so the probe process can be told apart.
    std::string folder = e2e::makeTempFolder("probe");
    std::string probeExe = folder + "\\probe.exe";
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, probeExe.c_str(), FALSE));
    PROCESS_INFORMATION probe = {};
    ASSERT_TRUE(e2e::startWithUnixStderr(
        probeExe, "--gtest_filter=GdiLeakProbe.*",
        std::string(kProbeVariable) + "=1 WINEDEBUG=" + GdiCounter::kWineDebug, counter.tracePath(),
        &probe));
    HWND window = nullptr;
    EXPECT_TRUE(e2e::waitUntil(
        [&] {
            window = e2e::findWindowOf(probe.dwProcessId, kProbeClass);
            return window != nullptr;
        },
        10000));
    if (window != nullptr) {
        const long before = counter.settledCount();
        ASSERT_GT(before, 0);
        ASSERT_TRUE(e2e::sendToWindow(window, kMakeBrushes, 0, 50));
        EXPECT_EQ(counter.settledCount(), before) << "50 brushes made and deleted";
        ASSERT_TRUE(e2e::sendToWindow(window, kMakeBrushes, 1, 37));
        EXPECT_EQ(counter.settledCount(), before + 37) << "37 brushes leaked";
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    WaitForSingleObject(probe.hProcess, 10000);
    TerminateProcess(probe.hProcess, 1);
    CloseHandle(probe.hProcess);
    e2e::removeFolder(folder);
}

// ---- the zoom window ----

class ZoomWindowGdi : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(counter_.start(program_)); }
    // Activation as CMD_MAGNIFY does it, a follow step with its paint, both handled before
    // the calls return.
    bool activateAndFollow() {
        return e2e::sendToWindow(program_.mainWindow(), WM_COMMAND, CMD_MAGNIFY, 0) &&
               e2e::sendToWindow(program_.zoomWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(350, 150));
    }
    bool hide() { return e2e::sendKeyDown(program_.zoomWindow(), VK_ESCAPE); }

    GdiCounter counter_;
    Program program_;
};

TEST_F(ZoomWindowGdi, CountIsBackAtItsLevelAfterManyActivations) {
    // Twice: the first activation while shown sets up what the process keeps for it.
    ASSERT_TRUE(activateAndFollow());
    ASSERT_TRUE(activateAndFollow());
    ASSERT_TRUE(IsWindowVisible(program_.zoomWindow()));
    ASSERT_TRUE(hide());
    const long afterFirstCycle = counter_.settledCount();
    ASSERT_GT(afterFirstCycle, 0);

    const int cycles = e2e::soakOr(5, 500);
    for (int i = 0; i < cycles; ++i) {
        ASSERT_TRUE(activateAndFollow());
        ASSERT_TRUE(hide());
    }
    EXPECT_EQ(counter_.settledCount(), afterFirstCycle) << "after activate/hide cycles";

    // Activations while shown, as a held hotkey makes them.
    for (int i = 0; i < cycles; ++i) {
        ASSERT_TRUE(activateAndFollow());
    }
    EXPECT_TRUE(IsWindowVisible(program_.zoomWindow()));
    ASSERT_TRUE(hide());
    EXPECT_FALSE(IsWindowVisible(program_.zoomWindow()));
    EXPECT_EQ(counter_.settledCount(), afterFirstCycle) << "after activations while shown";
}

TEST_F(ZoomWindowGdi, ZoomKeysAndPaintsAllocateNothingThatStays) {
    ASSERT_TRUE(activateAndFollow());
    const long shown = counter_.settledCount();
    ASSERT_GT(shown, 0);
    HWND zoom = program_.zoomWindow();
    for (int i = 0; i < e2e::soakOr(10, 100); ++i) {
        ASSERT_TRUE(e2e::sendKeyDown(zoom, '1' + i % 9));
        ASSERT_TRUE(e2e::sendToWindow(zoom, WM_MOUSEMOVE, 0, MAKELPARAM(300 + i % 7, 140)));
        ASSERT_TRUE(e2e::sendKeyDown(zoom, i % 2 ? VK_LEFT : VK_RIGHT));
    }
    EXPECT_EQ(counter_.settledCount(), shown);
}

}  // namespace
