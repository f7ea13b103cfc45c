// Activation latency and follow step of the zoom window against a floor measured in the same
// run: a bare popup that does only the unavoidable platform work (one full-screen BitBlt
// into a compatible bitmap, a topmost popup of the view's size, one StretchBlt paint; for
// following MoveWindow + RedrawWindow with a bare StretchBlt paint). Both run in this one
// process, interleaved, over the same test pattern, so the load of the machine falls on both.
// Usage: zoom_bench <activation runs> <follow steps>. Prints "name value" lines.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "settings/settings.h"
#include "magnifier/magnifier_window.h"
#include "tests/support/e2e.h"
#include "tests/support/screen_pattern.h"

// Heap allocations made by the code linked into this program (the program's own, the C++
// and C runtime's), counted through the linker's --wrap of the allocation functions.
static volatile long heapAllocations = 0;
#if defined(__MINGW32__)
extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void* __wrap_malloc(size_t size) {
    ++heapAllocations;
    return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
    ++heapAllocations;
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* block, size_t size) {
    ++heapAllocations;
    return __real_realloc(block, size);
}
}
#endif

namespace {

const int kViewWidth = 700;
const int kViewHeight = 300;

double mean(const std::vector<double>& values) {
    double sum = 0;
    for (double value : values) {
        sum += value;
    }
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

// The median of the ratios of measurements taken side by side: steadier than the ratio of
// the medians while the machine's load drifts.
double pairedRatio(const std::vector<double>& real, const std::vector<double>& floor) {
    std::vector<double> ratios;
    for (size_t i = 0; i < real.size() && i < floor.size(); ++i) {
        if (floor[i] > 0) {
            ratios.push_back(real[i] / floor[i]);
        }
    }
    return median(ratios);
}

// Removes what the steps left in this thread's queue without running it (mouse moves from
// the warped cursor, timer ticks), so every measured step does the same work; counts the
// mouse moves among them.
int discardQueuedMessages() {
    int mouseMoves = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_MOUSEMOVE) {
            ++mouseMoves;
        }
    }
    return mouseMoves;
}

// ---- the floor ----

class Floor {
  public:
    Floor() {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = windowProc;
        windowClass.lpszClassName = "ZoomFloor";
        RegisterClassExA(&windowClass);
        popup_ = CreateWindowExA(WS_EX_TOPMOST, "ZoomFloor", "", WS_POPUP | WS_THICKFRAME, -300,
                                 -300, 300, 300, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(popup_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    HWND popup() const { return popup_; }
    void setZoom(int zoom) { zoom_ = zoom; }
    // The floor's window stands this far below the cursor's centred place.
    void setOffset(int offset) { offset_ = offset; }

    void activate() {
        HDC screen = GetDC(nullptr);
        width_ = GetSystemMetrics(SM_CXVIRTUALSCREEN);
        height_ = GetSystemMetrics(SM_CYVIRTUALSCREEN);
        snapshotDc_ = CreateCompatibleDC(screen);
        snapshot_ = CreateCompatibleBitmap(screen, width_, height_);
        previous_ = SelectObject(snapshotDc_, snapshot_);
        BitBlt(snapshotDc_, 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
        ReleaseDC(nullptr, screen);
        POINT cursor;
        GetCursorPos(&cursor);
        SetWindowPos(popup_, HWND_TOPMOST, cursor.x - kViewWidth / 2,
                     cursor.y - kViewHeight / 2 + offset_, kViewWidth, kViewHeight, SWP_SHOWWINDOW);
    }
    void hide() {
        ShowWindow(popup_, SW_HIDE);
        if (snapshotDc_ != nullptr) {
            SelectObject(snapshotDc_, previous_);
            DeleteDC(snapshotDc_);
            DeleteObject(snapshot_);
            snapshotDc_ = nullptr;
        }
    }
    void step(POINT screenPoint) {
        MoveWindow(popup_, screenPoint.x - kViewWidth / 2,
                   screenPoint.y - kViewHeight / 2 + offset_, kViewWidth, kViewHeight, TRUE);
        RedrawWindow(popup_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Floor*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_PAINT && self != nullptr) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            self->paint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    void paint(HDC dc) {
        if (snapshotDc_ == nullptr) {
            return;
        }
        POINT cursor;
        GetCursorPos(&cursor);
        const int sw = kViewWidth / zoom_, sh = kViewHeight / zoom_;
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, kViewWidth, kViewHeight, snapshotDc_, cursor.x - sw / 2,
                   cursor.y - sh / 2, sw, sh, SRCCOPY);
    }

    HWND popup_ = nullptr;
    HDC snapshotDc_ = nullptr;
    HBITMAP snapshot_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0, height_ = 0, zoom_ = 2, offset_ = 0;
};

// ---- the measurements ----

struct Centre {
    int x, y;
};

// A zoom window of the benchmark's own, made hidden as the program makes it.
class ZoomWindow {
  public:
    ZoomWindow(HWND owner, int zoom)
        : magnifier_(ViewSettings{kViewWidth, kViewHeight, zoom}, ThumbnailLoaders{}),
          window_(magnifier_.create(owner)) {}
    ~ZoomWindow() {
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
    }
    ZoomWindow(const ZoomWindow&) = delete;
    ZoomWindow& operator=(const ZoomWindow&) = delete;
    Magnifier* operator->() { return &magnifier_; }
    HWND window() const { return window_; }

  private:
    Magnifier magnifier_;
    HWND window_;
};

void measureActivation(Floor& floor, ZoomWindow& magnifier, int runs, Centre centre) {
    std::vector<double> real, bare;
    SetCursorPos(centre.x, centre.y);
    e2e::pumpFor(200);
    for (int run = 0; run < runs; ++run) {
        // Alternate which goes first, so neither always follows the other's hide.
        for (int turn = 0; turn < 2; ++turn) {
            const bool realTurn = (turn == 0) == (run % 2 == 0);
            e2e::pumpFor(60);
            double begin = nowMs();
            if (realTurn) {
                magnifier->activate();
                UpdateWindow(magnifier.window());
            } else {
                floor.activate();
                UpdateWindow(floor.popup());
            }
            double elapsed = nowMs() - begin;
            (realTurn ? real : bare).push_back(elapsed);
            if (realTurn) {
                magnifier->hide();
            } else {
                floor.hide();
            }
        }
    }
    printf("activation_ms %.2f\nactivation_floor_ms %.2f\nactivation_ratio %.2f\n", median(real),
           median(bare), pairedRatio(real, bare));
}

// The cursor walks a small loop around the centre, one new position per step.
POINT stepPosition(Centre centre, int step) {
    return POINT{centre.x + (step % 40) - 20, centre.y + ((step / 40) % 20) - 10};
}

struct StepTimes {
    std::vector<double> real, bare;
    long allocations = 0;
    int mouseMoves = 0;
};

// One cursor move, then the zoom window's follow step and the floor's step on it, in
// alternating order, so both meet the same load of the machine.
void interleavedStep(Floor& floor, ZoomWindow& magnifier, POINT point, int index,
                     StepTimes& times) {
    SetCursorPos(point.x, point.y);
    times.mouseMoves += discardQueuedMessages();
    for (int turn = 0; turn < 2; ++turn) {
        const bool realTurn = (turn == 0) == (index % 2 == 0);
        const long allocationsBefore = heapAllocations;
        const double begin = nowMs();
        if (realTurn) {
            POINT client = point;
            ScreenToClient(magnifier.window(), &client);
            magnifier->follow(client.x, client.y);
        } else {
            floor.step(point);
        }
        const double elapsed = nowMs() - begin;
        if (realTurn) {
            times.allocations += heapAllocations - allocationsBefore;
            times.real.push_back(elapsed);
        } else {
            times.bare.push_back(elapsed);
        }
        discardQueuedMessages();
    }
}

// Steps back to back with the cursor moves of this program in between, in alternating
// blocks of the zoom window's and the floor's; the total time of each side's blocks.
template <typename RealStep, typename FloorStep>
void timeBlocks(int steps, Centre centre, RealStep realStep, FloorStep floorStep, double* realMs,
                double* floorMs) {
    const int kBlock = 50;
    *realMs = *floorMs = 0;
    for (int block = 0; block * kBlock < steps; ++block) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool realTurn = (turn == 0) == (block % 2 == 0);
            const double begin = nowMs();
            for (int i = block * kBlock; i < (block + 1) * kBlock && i < steps; ++i) {
                POINT point = stepPosition(centre, i);
                SetCursorPos(point.x, point.y);
                if (realTurn) {
                    realStep(point);
                } else {
                    floorStep(point);
                }
                discardQueuedMessages();
            }
            (realTurn ? *realMs : *floorMs) += nowMs() - begin;
        }
    }
}

void measureFollow(Floor& floor, HWND owner, int steps, int zoom, Centre centre) {
    SetCursorPos(centre.x, centre.y);
    e2e::pumpFor(200);
    ZoomWindow magnifier(owner, zoom);
    floor.setZoom(zoom);
    // Both shown, the floor's window below the zoom window's so neither uncovers the other.
    floor.setOffset(kViewHeight + 50);
    magnifier->activate();
    floor.activate();
    UpdateWindow(magnifier.window());
    UpdateWindow(floor.popup());
    discardQueuedMessages();
    StepTimes times;
    times.real.reserve(static_cast<size_t>(steps));
    times.bare.reserve(static_cast<size_t>(steps));
    for (int i = 0; i < steps; ++i) {
        interleavedStep(floor, magnifier, stepPosition(centre, i), i, times);
    }
    double realBlocksMs = 0, floorBlocksMs = 0;
    timeBlocks(
        steps, centre,
        [&](POINT point) {
            ScreenToClient(magnifier.window(), &point);
            magnifier->follow(point.x, point.y);
        },
        [&](POINT point) { floor.step(point); }, &realBlocksMs, &floorBlocksMs);
    const double realRate = 1000.0 * steps / realBlocksMs;
    const double floorRate = 1000.0 * steps / floorBlocksMs;
    magnifier->hide();
    floor.hide();
    floor.setOffset(0);
    e2e::pumpFor(100);

    printf("follow_zoom%d_ms %.3f\nfollow_zoom%d_floor_ms %.3f\nfollow_zoom%d_ratio %.2f\n", zoom,
           median(times.real), zoom, median(times.bare), zoom, pairedRatio(times.real, times.bare));
    // Sustained: the mean over all steps, slow ones included.
    printf("follow_zoom%d_steps_per_second %.0f\nfollow_zoom%d_floor_steps_per_second %.0f\n", zoom,
           1000.0 / mean(times.real), zoom, 1000.0 / mean(times.bare));
    printf("follow_zoom%d_steps_per_second_with_cursor_moves %.0f (floor %.0f)\n", zoom, realRate,
           floorRate);
    printf("follow_zoom%d_heap_allocations %ld\nfollow_zoom%d_mouse_moves_per_cursor_move %.2f\n",
           zoom, times.allocations, zoom, static_cast<double>(times.mouseMoves) / steps);
}

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? atoi(argv[1]) : 15;
    const int steps = argc > 2 ? atoi(argv[2]) : 1000;
    // The settings go to a file of the benchmark's own.
    const std::string folder = e2e::makeTempFolder("bench");
    lstrcpynW(settingsFile().path, e2e::widen(folder + "\\bench.ini").c_str(), kPathCapacity);

    WNDCLASSEXA ownerClass = {};
    ownerClass.cbSize = sizeof(ownerClass);
    ownerClass.lpfnWndProc = ownerProc;
    ownerClass.lpszClassName = "ZoomBenchOwner";
    RegisterClassExA(&ownerClass);
    HWND owner = CreateWindowExA(0, "ZoomBenchOwner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    Floor floor;
    e2e::ScreenPattern pattern;
    if (!pattern.waitUntilVisible()) {
        fprintf(stderr, "no test pattern\n");
        return 1;
    }
    const Centre centre = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    printf("screen %dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    {
        ZoomWindow magnifier(owner, 2);
        if (magnifier.window() == nullptr) {
            fprintf(stderr, "no zoom window\n");
            return 1;
        }
        measureActivation(floor, magnifier, runs, centre);
    }
    measureFollow(floor, owner, steps, 2, centre);
    measureFollow(floor, owner, steps, 16, centre);
    fflush(stdout);
    DestroyWindow(floor.popup());
    DestroyWindow(owner);
    e2e::removeFolder(folder);
    return 0;
}
