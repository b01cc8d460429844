// What the design-file tests share: a scratch folder, a file's bytes, a host that
// confirms every prompt with its default and answers file dialogs with queued paths, and a
// file-size limit that fails writes the way a full disk does, for root too.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/scripted_host.h"
#include "ui/model/window_model.h"

namespace vtq::test {

namespace fs = std::filesystem;

struct ScratchFolder {
  explicit ScratchFolder(const fs::path& base = fs::temp_directory_path())
      : path(base / ("vtq-test-" + std::to_string(::getpid()) + "-" + std::to_string(next++))) {
    fs::create_directories(path);
  }
  ~ScratchFolder() { fs::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
  fs::path path;
  static inline int next = 0;
};

inline std::string Contents(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void Write(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// Confirms every prompt with its default and answers file dialogs with the queued paths
// (none left: the user cancels).
using QuietHost = ScriptedHost;

// While it lives, no file of this process may grow beyond `bytes`.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit small = old_;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }

 private:
  rlimit old_{};
};

}  // namespace vtq::test
