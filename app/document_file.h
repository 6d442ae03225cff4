// Reading and writing the text of a document window's file. A rich-text (RTF) file is read into its
// text and colours; any other file is taken as it is. Saving writes plain text with the line ends the
// file had when it was read (CR LF for a new document).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_view.h"

namespace vireo {

// A stretch of text in one colour.
struct ColourRun {
  long start = 0;
  long length = 0;
  Rgb colour;
  friend bool operator==(const ColourRun&, const ColourRun&) = default;
};

struct DocumentText {
  std::string text;              // line ends as "\n"
  std::vector<ColourRun> colours;  // only for rich text, in text order
  bool rich = false;
  std::string line_end = "\r\n";  // the file's own line end
};

// True when the content starts as a rich-text file ("{\rtf").
bool is_rich_text(std::string_view content);
// The text and colours of a rich-text file: paragraphs, tabs, escaped and hex characters and the
// colour table are understood; font tables, pictures and other groups are skipped.
DocumentText parse_rich_text(std::string_view content);
// A file's content as a document: rich text parsed, any other text with its line ends made "\n".
DocumentText document_from_content(std::string_view content);

struct DocumentRead {
  bool ok = false;
  DocumentText document;
  std::string error;  // "Errore <n>\r<description>" when not ok
};
DocumentRead read_document(const std::filesystem::path& path);

// Writes the text (with "\n" line ends) as the file's content with the given line end. Returns an
// error text ("Errore <n>\r<description>"), empty on success; the file is replaced only once the
// new content is complete.
std::string write_document(const std::filesystem::path& path, std::string_view text, std::string_view line_end);

}  // namespace vireo
