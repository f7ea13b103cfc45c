#include "shell/autostart.h"

#include <cstring>

#include "app/app_state.h"
#include "resources/resource_ids.h"

int checkAutostartEntry(const char*, int) {
    return 0;
}

int setAutostartEntry(HMODULE, const char*, int) {
    return 0;
}

int removeAutostartEntry(const char*, int) {
    return 0;
}

void loadAutostartValueName(char (&name)[100]) {
    memset(name, 0, sizeof(name));
    LoadStringA(GetModuleHandleA(nullptr), IDS_AUTOSTART_VALUE_NAME, name, sizeof(name));
}

void toggleAutostart() {
    appState.autostartFlag = appState.autostartFlag == 0 ? 1 : 0;
}
