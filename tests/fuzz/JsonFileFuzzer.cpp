// Parses fuzz input as a JSON file and writes it back: whatever bytes the strings hold, the
// written text must parse to the same value.
#include "core/JsonFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Json::Value root;
    std::string error;
    if (!JsonFile::parse(text, root, error)) {
        return 0;
    }
    for (const std::string& written :
         {JsonFile::toStyledText(root), JsonFile::toIndentedText(root, "    ")}) {
        Json::Value again;
        if (!JsonFile::parse(written, again, error) || again != root) {
            __builtin_trap();
        }
    }
    return 0;
}
