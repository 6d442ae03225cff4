// Small file helpers shared by every writer and reader of files: the settings files, program files,
// documents and pictures.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vireo {

// The whole content of a file, or nothing when it cannot be read (a folder cannot). `error`, when
// given, receives the reason as an errno value.
std::optional<std::string> read_whole_file(const std::filesystem::path& path, int* error = nullptr);

// "PATH: reason" for an errno value.
std::string file_error(const std::filesystem::path& path, int error);

// True when both paths name one existing file, also through symbolic or hard links.
bool same_file(const std::filesystem::path& a, const std::filesystem::path& b);

// A file written so that it is never seen half-written and never written by two writers at once. The
// path is followed through symbolic links to the real file; the content goes to a temporary file of a
// unique name beside it, which replaces the real file in one step when committed, with the real
// file's mode (and owner, where allowed). A real file that exists and is not a regular file (a
// device, a pipe) is written directly instead. The temporary file is removed when the writing is
// abandoned or the object goes uncommitted; nothing else is ever removed.
class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile() { abandon(); }
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Each returns an error text ("PATH: reason"), empty on success.
  std::string open(const std::filesystem::path& path);
  std::string write(std::string_view bytes);
  std::string commit();
  void abandon();

  bool is_open() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  std::filesystem::path target_;  // the real file, links followed
  std::filesystem::path temp_;    // empty while the real file is written directly
  std::size_t written_ = 0;       // bytes written so far
};

// Writes a whole file through AtomicFile. Returns an error text, empty on success.
std::string write_file_atomically(const std::filesystem::path& path, std::string_view content);

}  // namespace vireo
