// Registry values are foreign input: the judgement must read only the characters it was given.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "shell/autostart_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exactly sized heap copy, so ASan sees any read past the value's end; a trailing
    // partial character is dropped, as the registry caller does.
    std::vector<wchar_t> stored(size / sizeof(wchar_t));
    if (!stored.empty()) {
        memcpy(stored.data(), data, stored.size() * sizeof(wchar_t));
    }
    const wchar_t* characters = stored.empty() ? nullptr : stored.data();
    classifyStoredValue(L"\"C:\\Tools\\vistrel.exe\" -bg", characters, stored.size());
    classifyDefaultValue(L"\"C:\\Tools\\vistrel.exe\" -bg", characters, stored.size());
    startupApprovalDisables(size % 2 == 0, size == 0 ? nullptr : data, size);
    wchar_t path[kPathCapacity];
    storedEntryPath(characters, stored.size(), path, kPathCapacity);

    // The first half as a module path, judged against the whole input.
    wchar_t command[kAutostartCommandCapacity];
    size_t pathLength = stored.size() / 2;
    if (buildAutostartCommand(characters, pathLength, command, kAutostartCommandCapacity) != 0) {
        classifyStoredValue(command, characters, stored.size());
    }
    return 0;
}
