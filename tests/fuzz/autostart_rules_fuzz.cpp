// Registry values are foreign input: the judgement must read only the bytes it was given.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "shell/autostart_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exactly sized heap copy, so ASan sees any read past the value's end.
    std::vector<char> stored(data, data + size);
    const char* bytes = stored.empty() ? nullptr : stored.data();
    classifyStoredValue("\"C:\\Tools\\vistrel.exe\" -bg", bytes, stored.size());

    // The first half as a module path, judged against the whole input.
    char command[kAutostartCommandCapacity];
    size_t pathLength = size / 2;
    if (buildAutostartCommand(bytes, pathLength, command, sizeof(command)) != 0) {
        classifyStoredValue(command, bytes, stored.size());
    }
    return 0;
}
