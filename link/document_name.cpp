#include "link/document_name.h"

namespace vireo {

std::size_t extension_dot(std::string_view caption) {
  const std::size_t separator = caption.find_last_of("\\/");
  const std::size_t dot = caption.find('.', separator == std::string_view::npos ? 0 : separator + 1);
  return dot;
}

std::string caption_extension(std::string_view caption) {
  const std::size_t dot = extension_dot(caption);
  if (dot == std::string_view::npos) return {};
  std::string extension(caption.substr(dot, 4));
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension;
}

std::string program_file_for(std::string_view caption) {
  const std::size_t dot = extension_dot(caption);
  if (dot == std::string_view::npos) return {};
  return std::string(caption.substr(0, dot + 1)) + "tpx";
}

}  // namespace vireo
