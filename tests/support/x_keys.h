// Keys held at the X level as well: winex11 reloads the key state from the X keymap when the
// focus moves (the zoom window showing), which drops keys held through SendInput alone.
#pragma once

#include <string>

namespace e2e {

// Presses the keys (xdotool names, "ctrl+z") in the X server for its lifetime.
class XHeldKeys {
  public:
    explicit XHeldKeys(const char* keys);
    ~XHeldKeys();
    XHeldKeys(const XHeldKeys&) = delete;
    XHeldKeys& operator=(const XHeldKeys&) = delete;

  private:
    std::string keys_;
};

}  // namespace e2e
