// The program file a conversion writes (".tpx"): opened at the first line of a run, written line by
// line and put in place by the end of the program. It is written under a temporary name and takes
// the place of an older file only once complete, so neither a failed run nor a second writer leaves a
// mixed or half-written program. Writes are buffered; a failure to write, also one that shows only
// when the buffer is flushed at the close, is reported as a RunError.
#pragma once

#include <string>
#include <string_view>

#include "settings/text_file.h"

namespace vireo {

class ProgramFile {
 public:
  // Starts a new program file at `path`. Throws RunError when it cannot be created.
  void open(const std::string& path);
  // Throws RunError when the file is not open or the bytes cannot be written.
  void write(std::string_view text);
  // Writes the last bytes and puts the file in place; nothing happens when it is not open. Throws
  // RunError when that fails (the older file then stays).
  void close();
  bool is_open() const { return file_.is_open(); }
  const std::string& path() const { return path_; }

 private:
  void flush();

  AtomicFile file_;
  std::string path_;
  std::string buffer_;      // written to the file in blocks
  std::string lost_block_;  // why a block could not be written; the file is then not put in place
};

}  // namespace vireo
