#include "tests/support/x_keys.h"

#include "tests/support/wine_debug_launch.h"

namespace e2e {

XHeldKeys::XHeldKeys(const char* keys) : keys_(keys) {
    runUnixShell("xdotool keydown " + keys_);
}

XHeldKeys::~XHeldKeys() {
    runUnixShell("xdotool keyup " + keys_);
}

}  // namespace e2e
