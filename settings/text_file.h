// Small file helpers shared by the settings files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vireo {

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> read_whole_file(const std::filesystem::path& path);

// Writes a file so that it is never left half-written: the content goes to a temporary file beside it,
// which then replaces the old file in one step. Returns an error text, empty on success.
std::string write_file_atomically(const std::filesystem::path& path, std::string_view content);

}  // namespace vireo
