#include "app/document_file.h"

#include <cctype>
#include <charconv>

#include "base/run_error.h"
#include "settings/text_file.h"

namespace vireo {

bool is_rich_text(std::string_view content) { return content.starts_with("{\\rtf"); }

namespace {

// Groups whose content is not document text.
bool skipped_destination(std::string_view word) {
  static constexpr std::string_view kSkipped[] = {"fonttbl", "stylesheet", "info", "pict", "header", "footer",
                                                  "headerl", "headerr", "footerl", "footerr", "listtable",
                                                  "listoverridetable", "rsidtbl", "generator", "xmlnstbl",
                                                  "themedata", "datastore", "latentstyles", "filetbl"};
  for (std::string_view s : kSkipped)
    if (word == s) return true;
  return false;
}

class RichTextReader {
 public:
  explicit RichTextReader(std::string_view in) : in_(in) {}

  DocumentText read() {
    DocumentText out;
    out.rich = true;
    out.line_end = "\r\n";
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      if (c == '{') {
        stack_.push_back(state_);
        state_.in_colour_table = false;
      } else if (c == '}') {
        if (state_.in_colour_table) finish_colour_table();
        if (stack_.empty()) break;
        state_ = stack_.back();
        stack_.pop_back();
      } else if (c == '\\') {
        control(out);
      } else if (c == '\r' || c == '\n') {
        // Line ends of the file itself are not text.
      } else if (state_.in_colour_table) {
        if (c == ';') {
          table_.push_back(pending_);
          pending_ = {};
        }
      } else {
        put(out, c);
      }
    }
    return out;
  }

 private:
  struct State {
    bool skip = false;
    bool in_colour_table = false;
    int colour = 0;
  };

  void put(DocumentText& out, char c) {
    if (state_.skip) return;
    const long at = static_cast<long>(out.text.size());
    out.text += c;
    if (state_.colour <= 0 || state_.colour >= static_cast<int>(table_.size())) return;
    const Rgb colour = table_[static_cast<std::size_t>(state_.colour)];
    if (!out.colours.empty() && out.colours.back().colour == colour &&
        out.colours.back().start + out.colours.back().length == at) {
      ++out.colours.back().length;
    } else {
      out.colours.push_back({at, 1, colour});
    }
  }

  void finish_colour_table() { state_.in_colour_table = false; }

  void control(DocumentText& out) {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (c == '\\' || c == '{' || c == '}') {
      ++pos_;
      put(out, c);
      return;
    }
    if (c == '\'') {
      ++pos_;
      int value = 0;
      const auto [ptr, ec] = std::from_chars(in_.data() + pos_, in_.data() + std::min(pos_ + 2, in_.size()), value, 16);
      if (ec == std::errc{}) {
        pos_ = static_cast<std::size_t>(ptr - in_.data());
        put(out, static_cast<char>(value));
      }
      return;
    }
    if (c == '*') {
      ++pos_;
      state_.skip = true;
      return;
    }
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++pos_;  // control symbols such as "\~" or "\-"
      if (c == '~') put(out, ' ');
      return;
    }
    const std::size_t word_start = pos_;
    while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_]))) ++pos_;
    const std::string_view word = in_.substr(word_start, pos_ - word_start);
    bool has_number = false;
    long number = 0;
    if (pos_ < in_.size() && (in_[pos_] == '-' || std::isdigit(static_cast<unsigned char>(in_[pos_])))) {
      const std::size_t number_start = pos_;
      ++pos_;
      while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) ++pos_;
      std::from_chars(in_.data() + number_start, in_.data() + pos_, number);
      has_number = true;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;

    if (word == "par" || word == "line") put(out, '\n');
    else if (word == "tab") put(out, '\t');
    else if (word == "cf") state_.colour = has_number ? static_cast<int>(number) : 0;
    else if (word == "colortbl") state_.in_colour_table = true, state_.skip = true;
    else if (word == "red" && state_.in_colour_table) pending_.r = static_cast<std::uint8_t>(number);
    else if (word == "green" && state_.in_colour_table) pending_.g = static_cast<std::uint8_t>(number);
    else if (word == "blue" && state_.in_colour_table) pending_.b = static_cast<std::uint8_t>(number);
    else if (word == "u" && has_number) {
      const long code = number < 0 ? number + 65536 : number;
      put(out, code <= 0xFF ? static_cast<char>(code) : '?');
      skip_fallback();
    } else if (skipped_destination(word)) state_.skip = true;
  }

  // The character after "\uN" stands for readers that do not know Unicode.
  void skip_fallback() {
    if (pos_ >= in_.size()) return;
    if (in_[pos_] == '\\' && pos_ + 1 < in_.size() && in_[pos_ + 1] == '\'') pos_ = std::min(in_.size(), pos_ + 4);
    else if (in_[pos_] != '\\' && in_[pos_] != '{' && in_[pos_] != '}') ++pos_;
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  State state_;
  std::vector<State> stack_;
  std::vector<Rgb> table_;
  Rgb pending_;
};

std::string detect_line_end(std::string_view content) {
  const std::size_t at = content.find_first_of("\r\n");
  if (at == std::string_view::npos) return "\r\n";
  if (content[at] == '\n') return "\n";
  return at + 1 < content.size() && content[at + 1] == '\n' ? "\r\n" : "\r";
}

}  // namespace

DocumentText parse_rich_text(std::string_view content) { return RichTextReader(content).read(); }

DocumentText document_from_content(std::string_view content) {
  if (is_rich_text(content)) return parse_rich_text(content);
  DocumentText document;
  document.line_end = detect_line_end(content);
  document.text.reserve(content.size());
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\r') {
      document.text += '\n';
      if (i + 1 < content.size() && content[i + 1] == '\n') ++i;
    } else {
      document.text += content[i];
    }
  }
  return document;
}

DocumentRead read_document(const std::filesystem::path& path) {
  std::optional<std::string> content = read_whole_file(path);
  if (!content) {
    std::error_code error;
    const bool exists = std::filesystem::exists(path, error);
    const RunError failure = exists ? RunError(err::kPathAccess, "Path/File access error")
                                    : RunError(err::kFileNotFound, "File not found");
    return {false, {}, failure.message()};
  }
  return {true, document_from_content(*content), {}};
}

std::string write_document(const std::filesystem::path& path, std::string_view text, std::string_view line_end) {
  std::string content;
  content.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') content += line_end;
    else content += c;
  }
  if (write_file_atomically(path, content).empty()) return {};
  return RunError(err::kPathAccess, "Path/File access error: " + path.string()).message();
}

}  // namespace vireo
