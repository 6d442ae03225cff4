#include "settings/text_file.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/large_pages.h"

namespace vireo {
namespace {

namespace fs = std::filesystem;

// Symbolic links followed at most this often before the path counts as a loop.
constexpr int kLinkHops = 40;
// Unique temporary names tried before giving up.
constexpr int kNameTries = 100;
constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as any new file

// The path with its symbolic links followed to the real file (which need not exist yet).
std::optional<fs::path> real_file(fs::path path) {
  for (int hop = 0; hop < kLinkHops; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
    const fs::path next = fs::read_symlink(path, error);
    if (error) return std::nullopt;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return std::nullopt;
}

bool write_all(int fd, std::string_view bytes, int& error) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string file_error(const fs::path& path, int error) { return path.string() + ": " + std::strerror(error); }

std::optional<std::string> read_whole_file(const fs::path& path, int* error) {
  int failure = 0;
  std::optional<std::string> content;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0) {
    failure = errno;
  } else if (::fstat(fd, &info) != 0) {
    failure = errno;
  } else if (S_ISDIR(info.st_mode)) {
    failure = EISDIR;
  } else {
    content.emplace();
    if (S_ISREG(info.st_mode)) {
      content->reserve(static_cast<std::size_t>(info.st_size));
      prefer_large_pages(content->data(), content->capacity());
    }
    // Read in blocks: sources of tens of megabytes are read whole before a conversion.
    char block[1 << 16];
    for (;;) {
      const ssize_t n = ::read(fd, block, sizeof block);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        failure = errno;
        content.reset();
      }
      if (n <= 0) break;
      content->append(block, static_cast<std::size_t>(n));
    }
  }
  if (fd >= 0) ::close(fd);
  if (error) *error = failure;
  return content;
}

bool same_file(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return fs::equivalent(a, b, error) && !error;
}

std::string AtomicFile::open(const fs::path& path) {
  abandon();
  const std::optional<fs::path> target = real_file(path);
  if (!target) return file_error(path, ELOOP);
  struct stat info {};
  const bool exists = ::stat(target->c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) {
    // A device or a pipe is written where it is; renaming over it would put a plain file in its place.
    fd_ = ::open(target->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) return file_error(*target, errno);
    target_ = *target;
    return {};
  }
  std::random_device random;
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    fs::path temp = target->parent_path() / ("." + target->filename().string() + "." + std::to_string(random()));
    fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd_ < 0 && errno == EEXIST) continue;  // another writer's (or a stranger's) file: never touched
    if (fd_ < 0) return file_error(*target, errno);
    if (exists) {
      // The new file takes the place of the old one with its permissions and, where allowed, owner.
      // (Only a privileged writer may give a file away; others keep their own ownership.)
      [[maybe_unused]] const int owned = ::fchown(fd_, info.st_uid, info.st_gid);
      [[maybe_unused]] const int moded = ::fchmod(fd_, info.st_mode & 07777);
    }
    target_ = *target;
    temp_ = std::move(temp);
    return {};
  }
  return file_error(*target, EEXIST);
}

std::string AtomicFile::write(std::string_view bytes) {
  if (fd_ < 0) return file_error(target_, EBADF);
  int error = 0;
  if (!write_all(fd_, bytes, error)) return file_error(target_, error);
#ifdef SYNC_FILE_RANGE_WRITE
  // The bytes start on their way to the disk now, so that the commit waits only for the last ones.
  if (!temp_.empty())
    ::sync_file_range(fd_, static_cast<off_t>(written_), static_cast<off_t>(bytes.size()), SYNC_FILE_RANGE_WRITE);
#endif
  written_ += bytes.size();
  return {};
}

std::string AtomicFile::commit() {
  if (fd_ < 0) return file_error(target_, EBADF);
  if (temp_.empty()) {
    const int closed = ::close(fd_);
    fd_ = -1;
    return closed == 0 ? std::string() : file_error(target_, errno);
  }
  // The content is on the disk before the new name points at it.
  if (::fdatasync(fd_) != 0 && errno != EINVAL) {
    const int error = errno;
    abandon();
    return file_error(target_, error);
  }
  if (::close(fd_) != 0) {
    const int error = errno;
    fd_ = -1;
    abandon();
    return file_error(target_, error);
  }
  fd_ = -1;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    abandon();
    return file_error(target_, error);
  }
  temp_.clear();
  return {};
}

void AtomicFile::abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  written_ = 0;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

std::string write_file_atomically(const fs::path& path, std::string_view content) {
  AtomicFile file;
  std::string error = file.open(path);
  if (error.empty()) error = file.write(content);
  if (error.empty()) error = file.commit();
  return error;
}

}  // namespace vireo
