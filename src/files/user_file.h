// Every file a user hands over (a design, a material, an emission scan, a MAS document,
// a batch of option sets, a measurement) is read here before its own parser sees it, so
// that each meets the same rules: a size cap by kind, so a device or a huge file cannot
// fill the memory; a named pipe with no writer reads as empty instead of waiting for
// ever; a folder or a missing file says so, with the system's reason; a byte-order mark
// is dropped and CR LF, a lone CR and LF all end a line; a NUL byte is refused as no text.
// A parser then takes the text and names the line of every fault (AtLine, Quoted).
//
//   const files::UserText in = files::ReadUserFile(path, files::UserFileKind::Measurement);
//   if (!in.error.empty()) return path + ": " + in.error;   // in.systemFailure: exit 1, else 2
//   files::LineCursor lines(in.text);
//   for (std::string_view line; lines.Next(line);)
//     if (bad) return files::AtLine(lines.number()) + "'" + files::Quoted(line) + "' is not ...";
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vtq::files {

enum class UserFileKind { Design, Material, Scan, Mas, Batch, Measurement };

// What the file of a kind is called in a message ("a material file") and the most bytes
// it may hold.
std::string_view KindName(UserFileKind kind);
std::size_t SizeCap(UserFileKind kind);

struct UserText {
  std::string text;            // without a byte-order mark, every line end made "\n"
  std::string error;           // why the file cannot be used; empty when it can
  bool systemFailure = false;  // the error is the system's (missing, a folder, no permission,
                               // an I/O error), not the file's content
};

// Reads the file at `path` ("-": standard input) and checks it as text of its kind.
UserText ReadUserFile(const std::string& path, UserFileKind kind);
// The same checks on bytes that arrived another way (the web page's upload, a test).
UserText UserTextOf(std::string bytes, UserFileKind kind);

// The lines of a checked text, each with its number (the first is 1).
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : rest_(text) {}
  // The next line without its "\n"; false after the last.
  bool Next(std::string_view& line);
  std::size_t number() const { return number_; }

 private:
  std::string_view rest_;
  std::size_t number_ = 0;
};

// "line 12: ", the start of every message about one line.
std::string AtLine(std::size_t number);
// The line of a byte offset into a text (a JSON parser's error position).
std::size_t LineOfOffset(std::string_view text, std::size_t offset);
// A line as a message shows it: at most 40 characters, cut at a whole UTF-8 character and
// followed by "..." when longer, so a 10 MB line does not become a 10 MB message.
std::string Quoted(std::string_view line);

// A file that streams: its lines one at a time as they arrive (a batch read from a pipe
// answers each line before the next is written), by the same rules as ReadUserFile, with
// SizeCap(kind) bounding each line instead of the whole.
class LineStream {
 public:
  LineStream() = default;
  LineStream(const LineStream&) = delete;
  LineStream& operator=(const LineStream&) = delete;
  ~LineStream();

  // "-" is standard input. False with error() set when the file cannot be read.
  bool Open(const std::string& path, UserFileKind kind);
  enum class Read { Line, TooLong, Binary, End };
  // The next line; a line over the cap (TooLong) or holding a NUL (Binary) is read to its
  // end and only its number kept. End also after a read error, then in error().
  Read Next(std::string& line);
  // A whole line or more is already read: Next will not wait on the file.
  bool Ready() const;
  std::size_t number() const { return number_; }
  const std::string& error() const { return error_; }

 private:
  bool Fill();

  int fd_ = -1;
  std::size_t cap_ = 0, number_ = 0;
  std::string buffer_;
  std::size_t at_ = 0;
  bool end_ = false, lastWasCr_ = false;
  std::string error_;
};

}  // namespace vtq::files
