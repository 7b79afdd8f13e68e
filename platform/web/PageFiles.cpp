#include "platform/web/PageFiles.h"

// The page's side: platform/web/page/files.js.
extern "C" {
int pageFileSize(const char* name);
void pageFileCopy(const char* name, uint8_t* target);
}

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
