// The texts of the user interface by id: Italian texts at ids 1000 to 1999, their English twins at
// id + 1000, and ids 20 and 21 (font name and size, kept but not read). Windows are built with the
// Italian ids in place of their texts; localisation replaces each id by the text of the current
// language (language offset 0 for Italian, 1000 for English).
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vireo {

class StringTable {
 public:
  // Adds the entries of a table file: lines of an id, a tab and the text to the end of the line
  // (blanks kept), UTF-8 encoded; lines starting with "#" and blank lines are skipped. Returns the
  // number of malformed lines, which are skipped too.
  int add_file(std::string_view utf8_content);

  // The text of an id as single-byte Latin-1, or nullptr when the table has none.
  const std::string* find(int id) const;
  std::size_t size() const { return texts_.size(); }
  std::vector<int> ids() const;

 private:
  std::map<int, std::string> texts_;
};

// The program's own table, built from the two language files compiled into the program.
StringTable builtin_string_table();

// 1000 for "English", 0 for any other language setting.
int language_offset(std::string_view language_setting);

// The value of a property text that holds a string id: the decimal number it is made of (blanks
// around it allowed), or nothing when the text is not a plain number.
std::optional<int> id_of_text(std::string_view text);

// The localisation of one property: its replacement when the current text is a number whose id
// (plus the language offset) has a text; otherwise nothing, and the property stays as it is.
std::optional<std::string> localised_text(const StringTable& table, int offset, std::string_view current);

// The text of id + offset, or "" when the table has none.
std::string ui_text(const StringTable& table, int offset, int id);

}  // namespace vireo
