#include "core/program_file.h"

#include "base/run_error.h"

namespace vireo {
namespace {

// Bytes gathered before one write to the file, so memory stays bounded whatever the program's size;
// the rest is written at the close.
constexpr std::size_t kBufferSize = 1 << 20;

}  // namespace

void ProgramFile::open(const std::string& path) {
  close();
  buffer_.clear();
  lost_block_.clear();
  if (const std::string error = file_.open(path); !error.empty())
    throw RunError(err::kPathAccess, "Path/File access error: " + error);
  path_ = path;
  buffer_.reserve(kBufferSize);
}

void ProgramFile::write(std::string_view text) {
  if (!file_.is_open()) throw RunError(err::kBadFileName, "Bad file name or number: the program file is not open");
  buffer_.append(text);
  if (buffer_.size() >= kBufferSize) flush();
}

void ProgramFile::flush() {
  std::string error = file_.write(buffer_);
  buffer_.clear();
  if (error.empty()) return;
  // The block is lost from the file: it must not be put in place as if it were whole.
  if (lost_block_.empty()) lost_block_ = error;
  throw RunError(err::kDeviceIo, "Device I/O error: " + error);
}

void ProgramFile::close() {
  if (!file_.is_open()) return;
  std::string error = file_.write(buffer_);
  buffer_.clear();
  if (error.empty()) error = lost_block_;
  lost_block_.clear();
  if (error.empty()) {
    error = file_.commit();
  } else {
    file_.abandon();
  }
  if (!error.empty()) throw RunError(err::kDeviceIo, "Device I/O error: " + error);
}

}  // namespace vireo
