// Loads fuzz input as the controller mapping file.
#include "FuzzSupport.h"

#include "settings/GamepadConfig.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::silenceErrorLines();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzSupport::scratchFolder() + "/gamepad.json";
    FuzzSupport::writeInput(path, data, size);
    GamepadConfig& mapping = GamepadConfig::getInstance();
    mapping.load(path);
    for (const char* name : {"up", "down", "a", "b", "l2", "menu", "back", ""}) {
        mapping.getButton(name);
    }
    return 0;
}
