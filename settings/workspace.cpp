#include "settings/workspace.h"

#include <algorithm>
#include <cctype>

#include "settings/setup_file.h"
#include "settings/text_file.h"

namespace vireo {
namespace {

std::string quote_text(std::string_view text) {
  std::string field = "\"";
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + '"';
}

const char* flag(bool on) { return on ? "#TRUE#" : "#FALSE#"; }

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::optional<bool> parse_flag(const SettingsField& field) {
  const std::string_view word = field.text;
  if (field.quoted) {
    if (equals_ignoring_case(word, "True")) return true;
    if (equals_ignoring_case(word, "False")) return false;
    return std::nullopt;
  }
  if (equals_ignoring_case(word, "#TRUE#")) return true;
  if (equals_ignoring_case(word, "#FALSE#")) return false;
  return std::nullopt;
}

}  // namespace

std::string workspace_file_text(const Workspace& w) {
  return quote_text(w.last_document) + "," + flag(w.keypad_open) + "," + flag(w.immediate_open) + "," +
         flag(w.display_open) + "," + quote_text(w.setup_name) + "\r\n";
}

std::optional<Workspace> parse_workspace(std::string_view content) {
  const std::vector<SettingsField> fields = split_settings_fields(content, 5);
  if (fields.size() < 5) return std::nullopt;
  Workspace w;
  w.last_document = fields[0].text;
  const auto keypad = parse_flag(fields[1]);
  const auto immediate = parse_flag(fields[2]);
  const auto display = parse_flag(fields[3]);
  if (!keypad || !immediate || !display) return std::nullopt;
  w.keypad_open = *keypad;
  w.immediate_open = *immediate;
  w.display_open = *display;
  w.setup_name = fields[4].text;
  return w;
}

std::string write_workspace(const std::filesystem::path& path, const Workspace& workspace) {
  return write_file_atomically(path, workspace_file_text(workspace));
}

WorkspaceLoad read_workspace(const std::filesystem::path& path, const Workspace& current) {
  WorkspaceLoad load;
  auto read = [&]() -> std::optional<Workspace> {
    const std::optional<std::string> content = read_whole_file(path);
    return content ? parse_workspace(*content) : std::nullopt;
  };
  if (std::optional<Workspace> w = read()) {
    load.workspace = std::move(*w);
    return load;
  }
  Workspace fresh;
  fresh.last_document = current.last_document;
  load.workspace = fresh;
  load.recreated = true;
  // The file is written once and read once more; a second failure keeps the fresh values in memory
  // instead of trying again for ever.
  if (std::string error = write_workspace(path, fresh); !error.empty()) {
    load.error = error;
    return load;
  }
  if (std::optional<Workspace> w = read()) {
    load.workspace = std::move(*w);
  } else {
    load.error = path.string() + ": unreadable after it was written";
  }
  return load;
}

}  // namespace vireo
