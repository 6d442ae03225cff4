#include "settings/text_file.h"

#include <fstream>
#include <system_error>

namespace vireo {

std::optional<std::string> read_whole_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content;
  std::error_code unknown_size;
  if (const std::uintmax_t size = std::filesystem::file_size(path, unknown_size); !unknown_size) content.reserve(size);
  // Read in blocks: sources of tens of megabytes are read whole before a conversion.
  char block[1 << 16];
  while (in.read(block, sizeof block) || in.gcount() > 0) content.append(block, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return content;
}

std::string write_file_atomically(const std::filesystem::path& path, std::string_view content) {
  std::filesystem::path temp = path;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return "cannot create " + temp.string();
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return "cannot write " + temp.string();
    }
  }
  std::error_code error;
  std::filesystem::rename(temp, path, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return path.string() + ": " + error.message();
  }
  return {};
}

}  // namespace vireo
