// The program file a conversion writes (".tpx"): opened at the first line of a run, written line by
// line and closed by the end of the program. Writes are buffered; a failure to write, also one that
// shows only when the buffer is flushed at the close, is reported as a RunError.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace vireo {

class ProgramFile {
 public:
  // Creates or truncates the file. Throws RunError when it cannot be opened.
  void open(const std::string& path);
  // Throws RunError when the file is not open or the bytes cannot be written.
  void write(std::string_view text);
  // Flushes and closes the file; nothing happens when it is not open. Throws RunError when the last
  // bytes cannot be written.
  void close();
  bool is_open() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  void flush();

  std::unique_ptr<std::FILE, Closer> file_;
  std::string path_;
  std::string buffer_;  // written to the file in blocks
};

}  // namespace vireo
