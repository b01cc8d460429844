#include "files/user_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "files/file_io.h"

namespace vtq::files {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Kind {
  std::string_view name;
  std::size_t cap;
};

// A whole file of any kind is at most 4 MB: a data sheet's curves are a few hundred
// points, a receiver's scan of 150 kHz to 30 MHz at a 9 kHz bandwidth some 7000 lines
// (a few hundred kB), a design a few dozen bytes. The cap keeps what a parser builds
// from the text (a JSON document, a table of points, the output) to some tens of MB.
// A batch streams, so its cap bounds one line: an option set is a few dozen bytes.
constexpr std::size_t kFileCap = 4 << 20;
constexpr std::array<Kind, 6> kKinds{{
    {"a design file", kFileCap},
    {"a material file", kFileCap},
    {"an emission scan", kFileCap},
    {"a MAS document", kFileCap},
    {"a batch file", 1 << 16},
    // A network analyser's four-port sweep of 100001 points in RI with every digit is
    // about 70 MB; a file much larger is no measurement.
    {"a measurement file", 80u << 20},
}};

const Kind& Of(UserFileKind kind) {
  return kKinds[static_cast<std::size_t>(kind)];
}

std::string Size(std::size_t bytes) {
  return bytes >= (1 << 20) ? std::to_string(bytes >> 20) + " MB" : std::to_string(bytes >> 10) + " kB";
}

// The file opened for reading without waiting: a named pipe that no program writes to
// would otherwise hold the open for ever. Reads then block as usual. -1 and `error` set
// when the file cannot be read; a folder opens, so it is refused by name.
int OpenToRead(const std::string& path, std::string& error) {
  const int fd = path == "-" ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                             : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = ReasonOf(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    error = ReasonOf(EISDIR);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

std::string_view KindName(UserFileKind kind) {
  return Of(kind).name;
}

std::size_t SizeCap(UserFileKind kind) {
  return Of(kind).cap;
}

UserText ReadUserFile(const std::string& path, UserFileKind kind) {
  UserText out;
  const std::size_t cap = SizeCap(kind);
  std::string error;
  const int fd = OpenToRead(path, error);
  if (fd < 0) {
    out.error = error;
    out.systemFailure = true;
    return out;
  }
  std::string bytes;
  // A regular file's size is known: one allocation, and a file over the cap is refused
  // before a byte of it is read.
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    if (static_cast<std::size_t>(st.st_size) > cap) {
      ::close(fd);
      out.error = "the file is too large to be " + std::string(KindName(kind)) + " (over " + Size(cap) + ")";
      return out;
    }
    bytes.reserve(static_cast<std::size_t>(st.st_size));
  }
  char buffer[65536];
  // One byte past the cap tells a file at the cap from one beyond it.
  while (bytes.size() <= cap) {
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, cap + 1 - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      out.error = ReasonOf(errno);
      out.systemFailure = true;
      ::close(fd);
      return out;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (bytes.size() > cap) {
    out.error = "the file is too large to be " + std::string(KindName(kind)) + " (over " + Size(cap) + ")";
    return out;
  }
  return UserTextOf(std::move(bytes), kind);
}

UserText UserTextOf(std::string bytes, UserFileKind kind) {
  UserText out;
  if (bytes.size() > SizeCap(kind)) {
    out.error =
        "the file is too large to be " + std::string(KindName(kind)) + " (over " + Size(SizeCap(kind)) + ")";
    return out;
  }
  // In place, so the text costs no second copy of the file.
  std::size_t from = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0, to = 0;
  for (; from < bytes.size(); ++from) {
    const char c = bytes[from];
    if (c == '\0') {
      out.error = AtLine(LineOfOffset(std::string_view(bytes).substr(0, to), to)) + "a NUL byte: it is not " +
                  std::string(KindName(kind));
      return out;
    }
    if (c == '\r') {
      bytes[to++] = '\n';
      if (from + 1 < bytes.size() && bytes[from + 1] == '\n') ++from;
    } else {
      bytes[to++] = c;
    }
  }
  bytes.resize(to);
  out.text = std::move(bytes);
  return out;
}

bool LineCursor::Next(std::string_view& line) {
  if (rest_.empty()) return false;
  const std::size_t end = std::min(rest_.find('\n'), rest_.size());
  line = rest_.substr(0, end);
  rest_.remove_prefix(std::min(end + 1, rest_.size()));
  ++number_;
  return true;
}

std::string AtLine(std::size_t number) {
  return "line " + std::to_string(number) + ": ";
}

std::size_t LineOfOffset(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  return static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n')) +
         1;
}

std::string Quoted(std::string_view line) {
  constexpr std::size_t kShown = 40;
  if (line.size() <= kShown) return std::string(line);
  std::size_t cut = kShown;
  // Back to the first byte of a UTF-8 character (continuation bytes are 10xxxxxx).
  while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
  return std::string(line.substr(0, cut)) + "...";
}

LineStream::~LineStream() {
  if (fd_ >= 0) ::close(fd_);
}

bool LineStream::Open(const std::string& path, UserFileKind kind) {
  cap_ = SizeCap(kind);
  fd_ = OpenToRead(path, error_);
  return fd_ >= 0;
}

bool LineStream::Fill() {
  if (end_ || fd_ < 0) return false;
  if (at_ > 0) {
    buffer_.erase(0, at_);
    at_ = 0;
  }
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error_ = ReasonOf(errno);
    if (n <= 0) {
      end_ = true;
      return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
  }
}

bool LineStream::Ready() const {
  const std::size_t from = at_ + (lastWasCr_ && at_ < buffer_.size() && buffer_[at_] == '\n');
  return buffer_.find_first_of("\r\n", from) != std::string::npos;
}

LineStream::Read LineStream::Next(std::string& line) {
  line.clear();
  bool any = false, tooLong = false, binary = false;
  for (;;) {
    if (at_ == buffer_.size() && !Fill()) break;
    // A CR LF split across two reads: the LF ends no second line.
    if (lastWasCr_) {
      lastWasCr_ = false;
      if (buffer_[at_] == '\n') {
        ++at_;
        continue;
      }
    }
    const std::size_t end = buffer_.find_first_of("\r\n", at_);
    const std::size_t stop = end == std::string::npos ? buffer_.size() : end;
    const std::string_view piece(buffer_.data() + at_, stop - at_);
    any = any || !piece.empty() || end != std::string::npos;
    binary = binary || piece.find('\0') != std::string_view::npos;
    if (line.size() + piece.size() <= cap_) {
      line.append(piece);
    } else {
      tooLong = true;
    }
    at_ = stop;
    if (end == std::string::npos) continue;
    lastWasCr_ = buffer_[at_] == '\r';
    ++at_;
    break;
  }
  if (!any) return Read::End;
  ++number_;
  if (number_ == 1 && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
  if (tooLong || binary) line.clear();
  return tooLong ? Read::TooLong : binary ? Read::Binary : Read::Line;
}

}  // namespace vtq::files
