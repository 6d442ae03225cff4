// The program file a conversion writes (".tpx"): opened at the first line of a run, written line by
// line and put in place by the end of the program. It is written under a temporary name and takes
// the place of an older file only once complete, so neither a failed run nor a second writer leaves a
// mixed or half-written program. Writes are gathered in blocks of 1 MB; a full block is written on a
// thread of its own while the conversion fills the next, so the disk and the conversion work at the
// same time. A failure to write, which shows when the next block is handed on or at the close, is
// reported as a RunError.
#pragma once

#include <cstddef>
#include <future>
#include <memory>
#include <string>
#include <string_view>

#include "base/short_copy.h"
#include "settings/text_file.h"

namespace vireo {

class ProgramFile {
 public:
  static constexpr std::size_t kBlockSize = 1 << 20;

  // Starts a new program file at `path`. Throws RunError when it cannot be created.
  void open(const std::string& path);
  // Throws RunError when the file is not open or the bytes cannot be written. Inline: a conversion
  // writes every line through it, and nearly every line only joins the block.
  void write(std::string_view text) {
    if (file_.is_open() && text.size() <= kBlockSize - used_) {
      copy_short(block_.get() + used_, text.data(), text.size());
      used_ += text.size();
      return;
    }
    write_through(text);
  }
  // Writes the last bytes and puts the file in place; nothing happens when it is not open. Throws
  // RunError when that fails (the older file then stays).
  void close();
  bool is_open() const { return file_.is_open(); }
  const std::string& path() const { return path_; }

 private:
  void write_through(std::string_view text);
  void flush();
  void wait_for_spare();
  void record_lost(std::string error);

  AtomicFile file_;
  std::string path_;
  std::unique_ptr<char[]> block_;  // the bytes not written to the file yet
  std::size_t used_ = 0;
  std::unique_ptr<char[]> spare_;            // the full block being written while the next one fills
  std::future<std::string> spare_written_;  // its write's error text, empty on success; declared
                                            // after what the write uses, so it ends first
  std::string lost_block_;  // why a block could not be written; the file is then not put in place
};

}  // namespace vireo
