// The window classes the program registers; tests find its windows by them. The main class
// is named by string 103 as well, which must read the same.
#pragma once

constexpr char kMainWindowClass[] = "Vistrel";
constexpr char kZoomWindowClass[] = "WIN_VSTR_123";
