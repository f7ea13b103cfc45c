// The floor for a second start: a process that finds the running instance's window and sends
// it one message, built like vistrel.exe and nothing more.
#include <windows.h>

#include "bench/floor_protocol.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND running = FindWindowA(kTrayFloorClass, nullptr);
    if (running != nullptr) {
        DWORD_PTR reply = 0;
        SendMessageTimeoutA(running, kFloorWakeMessage, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 10000,
                            &reply);
    }
    return 0;
}
