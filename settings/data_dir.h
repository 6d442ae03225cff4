// The program's data directory: where the setup files, the workspace file and the help files live.
// It is $VIREO_HOME when set, else $XDG_DATA_HOME/vireo, else ~/.local/share/vireo.
#pragma once

#include <filesystem>
#include <string>

namespace vireo {

// The directory, created on first use. Throws std::filesystem::filesystem_error when it cannot be made.
std::filesystem::path data_directory();

// A file name inside a directory, joined with "/".
std::filesystem::path in_directory(const std::filesystem::path& directory, const std::string& name);

}  // namespace vireo
