#include "core/program_file.h"

#include <cerrno>
#include <cstring>

#include "base/run_error.h"

namespace vireo {
namespace {

// Bytes gathered before one write to the file; the rest is written at the close.
constexpr std::size_t kBufferSize = 1 << 20;

std::string reason(int error) { return error != 0 ? std::string(": ") + std::strerror(error) : std::string(); }

}  // namespace

void ProgramFile::open(const std::string& path) {
  close();
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw RunError(err::kPathAccess, "Path/File access error: " + path + reason(errno));
  std::setvbuf(file, nullptr, _IONBF, 0);
  file_.reset(file);
  path_ = path;
  buffer_.clear();
  buffer_.reserve(kBufferSize);
}

void ProgramFile::write(std::string_view text) {
  if (!file_) throw RunError(err::kBadFileName, "Bad file name or number: the program file is not open");
  if (buffer_.size() + text.size() > kBufferSize) flush();
  buffer_.append(text);
}

void ProgramFile::flush() {
  errno = 0;
  const bool written = std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) == buffer_.size();
  buffer_.clear();
  if (!written) throw RunError(err::kDeviceIo, "Device I/O error: " + path_ + reason(errno));
}

void ProgramFile::close() {
  if (!file_) return;
  errno = 0;
  const bool written = std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) == buffer_.size();
  const int error = errno;
  buffer_.clear();
  const bool closed = std::fclose(file_.release()) == 0;
  if (!written || !closed) throw RunError(err::kDeviceIo, "Device I/O error: " + path_ + reason(error ? error : errno));
}

}  // namespace vireo
