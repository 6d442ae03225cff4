#include "core/program_file.h"

#include "base/run_error.h"

namespace vireo {
namespace {

// Bytes gathered before one write to the file; the rest is written at the close.
constexpr std::size_t kBufferSize = 1 << 20;

}  // namespace

void ProgramFile::open(const std::string& path) {
  close();
  buffer_.clear();
  if (const std::string error = file_.open(path); !error.empty())
    throw RunError(err::kPathAccess, "Path/File access error: " + error);
  path_ = path;
  buffer_.reserve(kBufferSize);
}

void ProgramFile::write(std::string_view text) {
  if (!file_.is_open()) throw RunError(err::kBadFileName, "Bad file name or number: the program file is not open");
  buffer_.append(text);
}

void ProgramFile::flush() {
  const std::string error = file_.write(buffer_);
  buffer_.clear();
  if (!error.empty()) throw RunError(err::kDeviceIo, "Device I/O error: " + error);
}

void ProgramFile::close() {
  if (!file_.is_open()) return;
  std::string error = file_.write(buffer_);
  buffer_.clear();
  if (error.empty()) {
    error = file_.commit();
  } else {
    file_.abandon();
  }
  if (!error.empty()) throw RunError(err::kDeviceIo, "Device I/O error: " + error);
}


}  // namespace vireo
