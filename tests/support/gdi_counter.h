// Counting a process's GDI objects under Wine, where GetGuiResources is a stub: with the
// debug channel trace+gdi, Wine logs every GDI handle it allocates or frees together with
// the process's running count.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/e2e.h"

namespace e2e {

// The count after the last allocation or free in a piece of trace text, or -1 when the
// text holds none. Lines look like
//   0024:trace:gdi:alloc_gdi_handle allocated NTGDI_OBJ_BRUSH 0x1100038 25/65536
//   0024:trace:gdi:free_gdi_handle freed NTGDI_OBJ_BRUSH 0x1100038 25/65536
// where a free reports the count from before it.
long gdiCountFromTrace(const std::string& text);

class GdiCounter {
  public:
    static const char kWineDebug[];  // the WINEDEBUG value that produces the trace

    GdiCounter();  // a trace file of its own in a fresh folder
    ~GdiCounter();
    GdiCounter(const GdiCounter&) = delete;
    GdiCounter& operator=(const GdiCounter&) = delete;

    const std::string& tracePath() const { return tracePath_; }
    // Puts the cursor at the screen's centre, starts the program with the trace going to this
    // counter's file, under the extra environment (NAME=value words) when given, and waits
    // for its main window.
    bool start(Program& program, const std::string& environment = "") const;

    // The count after the last traced event so far, -1 before the first.
    long count() const;
    // The count once it has not changed for quietMs (the traced process at rest), or -1
    // when it keeps changing until the time is up.
    long settledCount(DWORD quietMs = 300, DWORD timeoutMs = 10000) const;

  private:
    std::string folder_;
    std::string tracePath_;
};

}  // namespace e2e
