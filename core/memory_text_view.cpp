#include "core/memory_text_view.h"

#include <algorithm>
#include <cctype>

#include "base/large_pages.h"

namespace vireo {
namespace {

bool same_char(char a, char b, bool match_case) {
  if (match_case) return a == b;
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

}  // namespace

void MemoryTextView::set_text(std::string_view text) {
  // A text no snapshot holds is overwritten in place, keeping its storage.
  if (content_.use_count() > 1) {
    content_ = std::make_shared<std::string>(text);
  } else {
    content_->assign(text);
  }
  sel_start = 0;
  sel_length = 0;
}

void MemoryTextView::take_text(std::string text) {
  content_ = std::make_shared<std::string>(std::move(text));
  sel_start = 0;
  sel_length = 0;
}

void MemoryTextView::reserve(std::size_t size) {
  std::string& content = own_content();
  content.reserve(size);
  prefer_large_pages(content.data(), content.capacity());
}

std::string& MemoryTextView::own_content() {
  if (content_.use_count() > 1) content_ = std::make_shared<std::string>(*content_);
  return *content_;
}

void MemoryTextView::set_selection_start(long start) {
  sel_start = std::clamp(start, 0L, length());
  sel_length = 0;
}

void MemoryTextView::set_selection_length(long length_wanted) {
  sel_length = std::clamp(length_wanted, 0L, length() - sel_start);
}

void MemoryTextView::replace_selection(std::string_view text) {
  // The output view appends every line at its end.
  std::string& content = own_content();
  if (sel_start == length() && sel_length == 0) {
    content.append(text);
  } else {
    content.replace(sel_start, sel_length, text);
  }
  sel_start += static_cast<long>(text.size());
  sel_length = 0;
}

void MemoryTextView::set_selection_color(Rgb color) {
  if (!forget_colours_) colours.push_back({sel_start, sel_length, color});
}

void MemoryTextView::append(std::string_view text) {
  std::string& content = own_content();
  content.append(text);
  sel_start = static_cast<long>(content.size());
  sel_length = 0;
}

void MemoryTextView::colour(long start, long length, Rgb color) {
  set_selection_start(start);
  set_selection_length(length);
  set_selection_color(color);
}

long MemoryTextView::find(std::string_view what, long from, long to, FindOptions options) {
  const long end = to < 0 || to > length() ? length() : to;
  const long size = static_cast<long>(what.size());
  if (options.match_case && !options.whole_word) {
    // A plain search: the standard one, over the range only.
    const long start = std::max(from, 0L);
    if (size == 0 || start + size > end) return -1;
    const std::size_t found = std::string_view(*content_).substr(start, end - start).find(what);
    if (found == std::string_view::npos) return -1;
    sel_start = start + static_cast<long>(found);
    sel_length = size;
    return sel_start;
  }
  for (long p = std::max(from, 0L); p + size <= end && size > 0; ++p) {
    bool match = true;
    const std::string& content = *content_;
    for (long k = 0; k < size && match; ++k) match = same_char(content[p + k], what[k], options.match_case);
    if (match && options.whole_word) {
      const bool open_before = p == 0 || !word_char(content[p - 1]);
      const bool open_after = p + size == length() || !word_char(content[p + size]);
      match = open_before && open_after;
    }
    if (match) {
      sel_start = p;
      sel_length = size;
      return p;
    }
  }
  return -1;
}

long MemoryTextView::line_of(long position) const {
  const long end = std::clamp(position, 0L, length());
  return static_cast<long>(std::count(content_->begin(), content_->begin() + end, '\n'));
}

}  // namespace vireo
