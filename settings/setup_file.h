// The setup file (".stu"): one line holding the 200 slots in slot order, each followed by a comma.
// Texts are written unquoted; a text that would not read back as written (a comma, a double quote, a
// line end, blanks at either end) is written in double quotes with its quotes doubled. Readers skip
// blanks around fields, and a field that begins with a double quote runs to its closing quote.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_record.h"

namespace vireo {

// Splits the comma-separated fields of a settings line, at most `wanted` of them. A field left open at
// the end of the text (no trailing comma, or no closing quote) still counts.
struct SettingsField {
  std::string text;
  bool quoted = false;
};
std::vector<SettingsField> split_settings_fields(std::string_view content, std::size_t wanted);

// A field as the writers put it: unquoted when it reads back unchanged, else quoted.
std::string settings_field(std::string_view text);

struct SetupReadResult {
  bool ok = false;
  int fields_read = 0;  // fields found, at most 200
  std::string error;    // why reading failed
  int read_error = 0;   // the errno value when the file could not be read at all
};

// Reads a setup file into the record. The record changes only when all 200 fields were read.
SetupReadResult read_setup_file(const std::filesystem::path& path, SettingsRecord& record);

// The setup file's content for a record.
std::string setup_file_text(const SettingsRecord& record);

// Writes the record as a setup file, replacing the old file only once the new one is complete.
// Returns an error text, empty on success.
std::string write_setup_file(const std::filesystem::path& path, const SettingsRecord& record);

}  // namespace vireo
