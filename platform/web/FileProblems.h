#pragma once

// What is wrong with a file the page carries, told in the desktop edition's words
// (platform/qt/PictureLoader.cpp, ClickSound.cpp and WavClip.cpp). Browsers decode more
// than they should, a cut-off JPEG for one, so the same checks come first here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace FileProblems {

using Bytes = std::optional<std::vector<uint8_t>>;

// "" when the picture may be decoded; otherwise the box's text, ending in the notice that the
// program goes on without it.
std::string ofPicture(const std::string& fileName, const Bytes& bytes);
std::string ofUndecodablePicture(const std::string& fileName);

// "" when the click may be decoded; otherwise the box's text.
std::string ofClick(const std::string& fileName, const Bytes& bytes);
std::string ofUndecodableClick(const std::string& fileName);

} // namespace FileProblems
