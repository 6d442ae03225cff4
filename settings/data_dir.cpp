#include "settings/data_dir.h"

#include <cstdlib>

namespace vireo {
namespace {

std::filesystem::path chosen_directory() {
  if (const char* home = std::getenv("VIREO_HOME"); home && *home) return home;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::filesystem::path(xdg) / "vireo";
  if (const char* user = std::getenv("HOME"); user && *user)
    return std::filesystem::path(user) / ".local" / "share" / "vireo";
  return std::filesystem::current_path() / "vireo";
}

}  // namespace

std::filesystem::path data_directory() {
  std::filesystem::path directory = chosen_directory();
  std::filesystem::create_directories(directory);
  return directory;
}

std::filesystem::path in_directory(const std::filesystem::path& directory, const std::string& name) {
  return directory / name;
}

}  // namespace vireo
