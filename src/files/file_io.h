// File operations of the design-file commands, in terms a user can act on: every
// failure comes back as a short reason ("the folder does not exist", "the disk is
// full"), never as an exception.
#pragma once

#include <string>
#include <string_view>

namespace vtq::files {

// Replaces a file only once its new content is complete: the bytes go to a temporary
// file beside the target, which is renamed over the target on Commit. Until then,
// and after any failure, an existing file is left exactly as it was. A target that is
// not a regular file (a device such as /dev/stdout, a named pipe) is written in place,
// never replaced, and opening it never waits: a pipe that no program reads from fails
// at once. A symbolic link is followed, so the link stays a link. "-" is standard
// output.
class FileReplacement {
 public:
  FileReplacement() = default;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  ~FileReplacement();  // removes the temporary file unless committed

  bool Create(const std::string& target);
  bool Write(std::string_view bytes);
  bool Commit();

  // Why the last step failed; empty while nothing has.
  const std::string& error() const { return error_; }

 private:
  bool Fail(int errnoValue);
  void Discard();

  int fd_ = -1;
  std::string target_, temporary_;  // temporary_ empty when writing the target directly
  std::string error_;
};

// A short reason for a system error number, as the user should read it.
std::string ReasonOf(int errnoValue);

}  // namespace vtq::files
