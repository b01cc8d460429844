#include "files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace vtq::files {
namespace {

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The name written: a symbolic link leads to the file it points at, so that replacing
// the file keeps the link. A dangling link leads to the file it names, which the save
// then creates, as an editor does; renaming over the link would turn it into a file.
std::string ResolvedTarget(std::string path) {
  for (int depth = 0; depth < 40; ++depth) {  // 40: the kernel's own limit on nested links
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
    const ssize_t n = ::readlink(path.c_str(), resolved, sizeof resolved - 1);
    if (n <= 0) return path;
    const std::string next(resolved, static_cast<std::size_t>(n));
    if (next.front() == '/') {
      path = next;
    } else {
      path = FolderOf(path).append("/").append(next);
    }
  }
  return path;
}

// The temporary file of the save in progress, removed if a signal ends the program
// before the rename: Ctrl+C, a logout (SIGHUP) or a shutdown (SIGTERM) would otherwise
// leave a hidden ".NAME.PID-N.tmp" beside the design. Saves run one at a time.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
char pendingTemporary[PATH_MAX + 64];
struct sigaction previousActions[std::size(kEndingSignals)];

extern "C" void RemovePendingAndEnd(int signal) {
  // Only async-signal-safe calls here: unlink, sigaction, raise.
  if (pendingTemporary[0] != '\0') ::unlink(pendingTemporary);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    if (kEndingSignals[i] == signal) ::sigaction(signal, &previousActions[i], nullptr);
  }
  ::raise(signal);
}

void GuardTemporary(const std::string& name) {
  if (name.size() >= sizeof pendingTemporary) return;
  std::memcpy(pendingTemporary, name.c_str(), name.size() + 1);
  struct sigaction action {};
  action.sa_handler = RemovePendingAndEnd;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    ::sigaction(kEndingSignals[i], &action, &previousActions[i]);
  }
}

void ReleaseTemporary() {
  if (pendingTemporary[0] == '\0') return;
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    ::sigaction(kEndingSignals[i], &previousActions[i], nullptr);
  }
  pendingTemporary[0] = '\0';
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string ReasonOf(int e) {
  switch (e) {
    case ENOENT:
      return "the file or its folder does not exist";
    case ENOTDIR:
      return "a part of the path is not a folder";
    case EACCES:
    case EPERM:
      return "permission denied";
    case EROFS:
      return "the disk is read-only";
    case ENOSPC:
      return "the disk is full";
    case EDQUOT:
      return "the disk quota is used up";
    case EFBIG:
      return "the file would be larger than allowed";
    case EISDIR:
      return "it is a folder";
    case ENAMETOOLONG:
      return "the name is too long";
    case ENXIO:
      return "no program is reading from it";
    default:
      return std::strerror(e);
  }
}

FileReplacement::~FileReplacement() {
  Discard();
}

void FileReplacement::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    ReleaseTemporary();
  }
  temporary_.clear();
}

bool FileReplacement::Fail(int errnoValue) {
  error_ = ReasonOf(errnoValue);
  Discard();
  return false;
}

bool FileReplacement::Create(const std::string& target) {
  Discard();
  error_.clear();
  if (target.empty()) return Fail(ENOENT);
  if (target == "-") {
    fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    return fd_ >= 0 || Fail(errno);
  }
  target_ = ResolvedTarget(target);
  struct stat existing {};
  const bool exists = ::stat(target_.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Fail(EISDIR);
  if (exists && !S_ISREG(existing.st_mode)) {
    // Non-blocking, or opening a pipe would wait for a reader for ever.
    fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) return Fail(errno);
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    return true;
  }
  // Renaming over a file needs only the folder's permission, but a file the user made
  // read-only is one they do not want replaced.
  if (exists && ::access(target_.c_str(), W_OK) != 0) return Fail(errno);
  // A hidden name beside the target, so the rename stays within one file system.
  static std::atomic<unsigned> counter{0};
  const std::string folder = FolderOf(target_);
  const std::string base = target_.substr(target_.rfind('/') + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = folder;
    name += "/.";
    name += base;
    name += '.';
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(counter++);
    name += ".tmp";
    // 0666 so the new file gets the permissions the user's umask gives any new file.
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      GuardTemporary(name);
      temporary_ = std::move(name);
      break;
    }
    if (errno != EEXIST) return Fail(errno);
  }
  if (fd_ < 0) return Fail(EEXIST);
  if (exists) {
    // The replacement keeps what the user set on the old file; an owner other than us
    // can only be kept by root, and losing it is no reason to fail the save. The owner
    // goes first: a change of owner clears the set-ID bits, which the mode then restores,
    // but only with the owner they were set for.
    const bool owned = ::fchown(fd_, existing.st_uid, existing.st_gid) == 0;
    (void)::fchmod(fd_, existing.st_mode & (owned ? 07777 : 0777));
  }
  return true;
}

bool FileReplacement::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  return WriteAll(fd_, bytes) || Fail(errno);
}

bool FileReplacement::Commit() {
  if (fd_ < 0) return false;
  if (temporary_.empty()) {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 || Fail(errno);
  }
  // The data must be on the disk before the rename makes it the file, or a crash just
  // after the save could leave an empty file where the old one was.
  if (::fsync(fd_) != 0) return Fail(errno);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Fail(errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(errno);
  ReleaseTemporary();
  temporary_.clear();
  return true;
}

}  // namespace vtq::files
