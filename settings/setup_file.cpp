#include "settings/setup_file.h"

#include "settings/text_file.h"

namespace vireo {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_line_end(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::vector<SettingsField> split_settings_fields(std::string_view content, std::size_t wanted) {
  std::vector<SettingsField> fields;
  std::size_t p = 0;
  const std::size_t n = content.size();
  while (fields.size() < wanted) {
    while (p < n && (is_blank(content[p]) || is_line_end(content[p]))) ++p;
    if (p >= n) break;
    SettingsField field;
    if (content[p] == '"') {
      field.quoted = true;
      ++p;
      while (p < n) {
        if (content[p] == '"') {
          if (p + 1 < n && content[p + 1] == '"') {  // a doubled quote stands for one
            field.text += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        field.text += content[p++];
      }
      // Whatever follows the closing quote up to the field's end is not part of the field.
      while (p < n && content[p] != ',' && !is_line_end(content[p])) ++p;
    } else {
      const std::size_t start = p;
      while (p < n && content[p] != ',' && !is_line_end(content[p])) ++p;
      std::size_t end = p;
      while (end > start && is_blank(content[end - 1])) --end;
      field.text.assign(content.substr(start, end - start));
    }
    if (p < n && content[p] == ',') ++p;
    fields.push_back(std::move(field));
  }
  return fields;
}

std::string settings_field(std::string_view text) {
  bool quote = !text.empty() && (is_blank(text.front()) || is_blank(text.back()));
  for (char c : text)
    if (c == ',' || c == '"' || is_line_end(c)) quote = true;
  if (!quote) return std::string(text);
  std::string field = "\"";
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

SetupReadResult read_setup_file(const std::filesystem::path& path, SettingsRecord& record) {
  SetupReadResult result;
  const std::optional<std::string> content = read_whole_file(path, &result.read_error);
  if (!content) {
    result.error = "cannot read " + file_error(path, result.read_error);
    return result;
  }
  std::vector<SettingsField> fields = split_settings_fields(*content, kSlotCount);
  result.fields_read = static_cast<int>(fields.size());
  if (fields.size() < static_cast<std::size_t>(kSlotCount)) {
    result.error = path.string() + ": " + std::to_string(fields.size()) + " of " + std::to_string(kSlotCount) +
                   " fields read";
    return result;
  }
  for (int i = 0; i < kSlotCount; ++i) record.set_text(i, std::move(fields[i].text));
  result.ok = true;
  return result;
}

std::string setup_file_text(const SettingsRecord& record) {
  std::string text;
  for (const std::string& slot : record.texts()) {
    text += settings_field(slot);
    text += ',';
  }
  return text;
}

std::string write_setup_file(const std::filesystem::path& path, const SettingsRecord& record) {
  return write_file_atomically(path, setup_file_text(record));
}

}  // namespace vireo
