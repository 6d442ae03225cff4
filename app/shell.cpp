#include "app/shell.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace vireo {

std::vector<DialogFilter> parse_dialog_filter(std::string_view filter) {
  std::vector<std::string_view> parts;
  while (!filter.empty()) {
    const std::size_t bar = filter.find('|');
    parts.push_back(filter.substr(0, bar));
    filter = bar == std::string_view::npos ? std::string_view{} : filter.substr(bar + 1);
  }
  std::vector<DialogFilter> out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    DialogFilter entry{std::string(parts[i]), {}};
    std::string_view patterns = parts[i + 1];
    while (!patterns.empty()) {
      const std::size_t semicolon = patterns.find(';');
      if (std::string_view one = patterns.substr(0, semicolon); !one.empty()) entry.patterns.emplace_back(one);
      patterns = semicolon == std::string_view::npos ? std::string_view{} : patterns.substr(semicolon + 1);
    }
    if (!entry.patterns.empty()) out.push_back(std::move(entry));
  }
  return out;
}

std::string main_caption(std::string_view base, std::string_view document_caption) {
  std::string caption(base);
  caption += kCaptionSeparator;
  caption += document_caption;
  return caption;
}

bool is_unsaved_caption(std::string_view caption) {
  std::string head(caption.substr(0, 8));
  std::transform(head.begin(), head.end(), head.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return head == "document" || head == "frmdocum";
}

std::string command_line_document(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    line += argument;
  }
  std::erase(line, '"');
  return line;
}

bool copy_language_help(const std::filesystem::path& directory, std::string_view language_setting) {
  std::string_view source;
  if (language_setting == "English") source = kEnglishHelpFile;
  else if (language_setting == "Italian") source = kItalianHelpFile;
  else return false;
  std::error_code error;
  const std::filesystem::path from = directory / source;
  if (!std::filesystem::is_regular_file(from, error)) return false;
  return std::filesystem::copy_file(from, directory / kHelpFile, std::filesystem::copy_options::overwrite_existing,
                                    error) && !error;
}

}  // namespace vireo
