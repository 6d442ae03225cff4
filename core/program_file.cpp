#include "core/program_file.h"

#include "base/run_error.h"

namespace vireo {

void ProgramFile::open(const std::string& path) {
  close();
  used_ = 0;
  lost_block_.clear();
  if (const std::string error = file_.open(path); !error.empty())
    throw RunError(err::kPathAccess, "Path/File access error: " + error);
  path_ = path;
  if (!block_) block_ = std::make_unique<char[]>(kBlockSize);
}

// The block is full (or the file is not open): the block goes to the file first, and a text longer
// than a block follows it directly.
void ProgramFile::write_through(std::string_view text) {
  if (!file_.is_open()) throw RunError(err::kBadFileName, "Bad file name or number: the program file is not open");
  flush();
  if (text.size() <= kBlockSize) {
    std::memcpy(block_.get(), text.data(), text.size());
    used_ = text.size();
    return;
  }
  used_ = 0;
  if (std::string error = file_.write(text); !error.empty()) {
    if (lost_block_.empty()) lost_block_ = error;
    throw RunError(err::kDeviceIo, "Device I/O error: " + error);
  }
}

void ProgramFile::flush() {
  std::string error = file_.write(std::string_view(block_.get(), used_));
  used_ = 0;
  if (error.empty()) return;
  // The block is lost from the file: it must not be put in place as if it were whole.
  if (lost_block_.empty()) lost_block_ = error;
  throw RunError(err::kDeviceIo, "Device I/O error: " + error);
}

void ProgramFile::close() {
  if (!file_.is_open()) return;
  std::string error = file_.write(std::string_view(block_.get(), used_));
  used_ = 0;
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
