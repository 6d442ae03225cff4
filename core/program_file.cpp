#include "core/program_file.h"

#include <cstring>
#include <system_error>

#include "base/run_error.h"

namespace vireo {

void ProgramFile::open(const std::string& path) {
  close();
  used_ = 0;
  lost_block_.clear();
  if (const std::string error = file_.open(path); !error.empty())
    throw RunError(err::kPathAccess, "Path/File access error: " + error);
  path_ = path;
  if (!block_) block_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
  if (!spare_) spare_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
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
  wait_for_spare();
  record_lost(file_.write(text));
}

// The full block is written on a thread of its own while the next one fills; the block before it
// has to be written first.
void ProgramFile::flush() {
  wait_for_spare();
  std::swap(block_, spare_);
  const std::string_view bytes(spare_.get(), used_);
  used_ = 0;
  try {
    spare_written_ = std::async(std::launch::async, [this, bytes] { return file_.write(bytes); });
  } catch (const std::system_error&) {
    // No thread to be had: the block is written here and now.
    record_lost(file_.write(bytes));
  }
}

void ProgramFile::wait_for_spare() {
  if (spare_written_.valid()) record_lost(spare_written_.get());
}

// A block that could not be written is lost from the file: it must not be put in place as if it
// were whole.
void ProgramFile::record_lost(std::string error) {
  if (error.empty()) return;
  if (lost_block_.empty()) lost_block_ = error;
  throw RunError(err::kDeviceIo, "Device I/O error: " + error);
}

void ProgramFile::close() {
  if (!file_.is_open()) return;
  std::string error = spare_written_.valid() ? spare_written_.get() : std::string();
  if (error.empty()) error = file_.write(std::string_view(block_.get(), used_));
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
