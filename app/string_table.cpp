#include "app/string_table.h"

#include <charconv>

namespace vireo {

// The language files, compiled into the program by the build (cmake/EmbedText.cmake).
extern const std::string_view kStringsItalian;
extern const std::string_view kStringsEnglish;

namespace {

// UTF-8 to Latin-1; characters beyond Latin-1 and broken sequences become "?".
std::string latin1_from_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      const unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      out += code <= 0xFF ? static_cast<char>(code) : '?';
      i += 2;
    } else {
      out += '?';
      ++i;
      while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
  }
  return out;
}

}  // namespace

int StringTable::add_file(std::string_view content) {
  int malformed = 0;
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const std::size_t tab = line.find('\t');
    int id = 0;
    const auto [ptr, ec] = std::from_chars(line.data(), line.data() + (tab == std::string_view::npos ? 0 : tab), id);
    if (tab == std::string_view::npos || ec != std::errc{} || ptr != line.data() + tab) {
      ++malformed;
      continue;
    }
    texts_[id] = latin1_from_utf8(line.substr(tab + 1));
  }
  return malformed;
}

const std::string* StringTable::find(int id) const {
  const auto it = texts_.find(id);
  return it == texts_.end() ? nullptr : &it->second;
}

std::vector<int> StringTable::ids() const {
  std::vector<int> out;
  out.reserve(texts_.size());
  for (const auto& [id, text] : texts_) out.push_back(id);
  return out;
}

StringTable builtin_string_table() {
  StringTable table;
  table.add_file(kStringsItalian);
  table.add_file(kStringsEnglish);
  return table;
}

int language_offset(std::string_view language_setting) { return language_setting == "English" ? 1000 : 0; }

std::optional<int> id_of_text(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.size() > 9) return std::nullopt;
  int id = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (ec != std::errc{} || ptr != text.data() + text.size() || text.front() == '-') return std::nullopt;
  return id;
}

std::optional<std::string> localised_text(const StringTable& table, int offset, std::string_view current) {
  const std::optional<int> id = id_of_text(current);
  if (!id) return std::nullopt;
  const std::string* text = table.find(*id + offset);
  if (!text) return std::nullopt;
  return *text;
}

std::string ui_text(const StringTable& table, int offset, int id) {
  const std::string* text = table.find(id + offset);
  return text ? *text : std::string();
}

}  // namespace vireo
