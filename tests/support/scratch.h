// A folder of this test's own, removed with everything in it when the test ends, and
// whole-file reads and writes.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vtq::test {

namespace fs = std::filesystem;

struct ScratchFolder {
  explicit ScratchFolder(const fs::path& base = fs::temp_directory_path())
      : path(base / ("vtq-test-" + std::to_string(::getpid()) + "-" + std::to_string(next++))) {
    fs::create_directories(path);
  }
  ~ScratchFolder() { fs::remove_all(path); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
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

}  // namespace vtq::test
