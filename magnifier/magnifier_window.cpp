#include "magnifier/magnifier_window.h"

Magnifier* magnifierInstance = nullptr;

Magnifier::Magnifier(int32_t width, int32_t height, int32_t zoomFactor)
    : viewWidth(width), viewHeight(height), zoom(zoomFactor) {}

// Window, cursor and any snapshot are left to the end of the process.
Magnifier::~Magnifier() = default;

HWND Magnifier::create(int32_t width, int32_t height, int32_t zoomFactor, HWND ownerWindow) {
    viewWidth = width;
    viewHeight = height;
    zoom = zoomFactor;
    owner = ownerWindow;
    magnifierInstance = this;
    return nullptr;
}

int Magnifier::activate() {
    return 0;
}

void Magnifier::hide() {}

void Magnifier::setViewSize(int32_t width, int32_t height) {
    viewWidth = width;
    viewHeight = height;
}

void Magnifier::follow(int, int) {}

int Magnifier::paintView(HDC) {
    return 0;
}

LRESULT Magnifier::handleMessage(UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT CALLBACK magnifierWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (magnifierInstance != nullptr) {
        magnifierInstance->handleMessage(message, wParam, lParam);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
