// Loads fuzz input as the controller mapping file.
#include "FuzzSupport.h"

#include "settings/GamepadConfig.h"

MP_FILE_FUZZER("gamepad.json") {
    GamepadConfig& mapping = GamepadConfig::getInstance();
    mapping.load(path);
    for (const char* name : {"up", "down", "a", "b", "l2", "menu", "back", ""}) {
        mapping.getButton(name);
    }
}
