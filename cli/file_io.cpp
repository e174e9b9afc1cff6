#include "cli/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace velmoran::cli {

namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

// A fixed buffer: the signal handler reads it, so it never moves or frees.
std::array<char, 4096> pendingTemporary{};

bool WriteAllTo(int fd, std::string_view data, int& error) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::optional<std::string> ReadAll(const std::string& path, std::string& reason,
                                   const std::function<bool()>& interrupted) {
  int fd = STDIN_FILENO;
  if (path != "-") {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      reason = Reason(errno);
      return std::nullopt;
    }
  }
  std::string text;
  std::array<char, 1 << 16> block;
  std::optional<std::string> result;
  for (;;) {
    ssize_t n = ::read(fd, block.data(), block.size());
    if (n < 0 && errno == EINTR && !interrupted()) continue;
    if (n < 0) {
      reason = Reason(errno);
      break;
    }
    if (n == 0) {
      result = std::move(text);
      break;
    }
    if (text.size() + static_cast<std::size_t>(n) > kMaxTheoryBytes) {
      reason = "larger than " + std::to_string(kMaxTheoryBytes >> 20) + " MiB";
      break;
    }
    text.append(block.data(), static_cast<std::size_t>(n));
  }
  if (fd != STDIN_FILENO) ::close(fd);
  return result;
}

std::optional<std::string> WriteFileSafely(const std::string& path, std::string_view data) {
  // The new file keeps the old one's permissions; a new name gets what the umask allows.
  mode_t mode = 0;
  struct stat old;
  if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  std::string temporary = path + ".XXXXXX";
  if (temporary.size() >= pendingTemporary.size()) return std::string(Reason(ENAMETOOLONG));
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Reason(errno);
  std::memcpy(pendingTemporary.data(), temporary.c_str(), temporary.size() + 1);
  int error = 0;
  bool ok = WriteAllTo(fd, data, error);
  if (ok && ::fchmod(fd, mode) != 0) ok = false, error = errno;
  if (ok && ::fsync(fd) != 0) ok = false, error = errno;
  if (::close(fd) != 0 && ok) ok = false, error = errno;
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) ok = false, error = errno;
  if (!ok) ::unlink(temporary.c_str());
  pendingTemporary[0] = '\0';
  if (!ok) return Reason(error);
  // The rename itself is made durable with the folder; a folder that cannot be synced (some file
  // systems refuse) leaves the file written all the same.
  int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return std::nullopt;
}

const char* PendingTemporaryFile() {
  return pendingTemporary[0] ? pendingTemporary.data() : nullptr;
}

TStdout::TStdout() : terminal_(::isatty(STDOUT_FILENO) != 0) {}

void TStdout::Line(std::string_view text) {
  if (failure_) return;
  buffer_.append(text);
  buffer_ += '\n';
  if (terminal_ || buffer_.size() >= (std::size_t{1} << 16)) WriteOut();
}

void TStdout::Flush() {
  if (!failure_) WriteOut();
}

void TStdout::WriteOut() {
  int error = 0;
  if (!WriteAllTo(STDOUT_FILENO, buffer_, error)) failure_ = Reason(error);
  buffer_.clear();
}

}  // namespace velmoran::cli
