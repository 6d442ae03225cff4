#include "core/document_name.h"

#include <cctype>

#include "base/run_error.h"

namespace vireo {
namespace {

std::string lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

}  // namespace

std::optional<std::size_t> extension_dot(std::string_view caption) {
  for (std::size_t dot = caption.find('.'); dot != std::string_view::npos; dot = caption.find('.', dot + 1)) {
    if (caption.find_first_of("\\/", dot + 1) == std::string_view::npos) return dot;
  }
  return std::nullopt;
}

SourceNames source_names(std::string_view caption) {
  const std::optional<std::size_t> dot = extension_dot(caption);
  if (!dot) throw RunError(err::kInvalidArgument, "Invalid procedure call or argument: no extension in " + std::string(caption));
  return {lower(caption.substr(*dot, 4)), std::string(caption.substr(0, *dot + 1)) + "tpx"};
}

std::string caption_extension(std::string_view caption) {
  const std::optional<std::size_t> dot = extension_dot(caption);
  return dot ? lower(caption.substr(*dot, 4)) : std::string();
}

}  // namespace vireo
