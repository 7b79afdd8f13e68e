#pragma once

// The files the page carries inside itself (its pictures, its click, its font), by bare name.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace PageFiles {

// The file's bytes; nothing when the page does not carry it.
std::optional<std::vector<uint8_t>> read(const std::string& name);

} // namespace PageFiles
