#include "platform/web/PageFiles.h"

#include <emscripten.h>

EM_JS(int, pageFileSize, (const char* name), {
    const bytes = pageFiles.bytes(UTF8ToString(name));
    return bytes === null ? -1 : bytes.length;
});

EM_JS(void, pageFileCopy, (const char* name, uint8_t* target), {
    HEAPU8.set(pageFiles.bytes(UTF8ToString(name)), target);
});

namespace PageFiles {

std::optional<std::vector<uint8_t>> read(const std::string& name)
{
    const int size = pageFileSize(name.c_str());
    if (size < 0)
        return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0)
        pageFileCopy(name.c_str(), bytes.data());
    return bytes;
}

} // namespace PageFiles
