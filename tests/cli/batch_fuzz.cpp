// Any bytes as a batch file, read as JSON Lines and as CSV: nothing may crash, and the n-th
// answer is always the n-th line's (a script pairs them by position), whatever ends the lines.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "batch fuzz: %s\n", what);
    std::abort();
  }
}

std::string path;

// Lines as the batch reads them: ended by LF, CR LF or a lone CR; a last line without an end counts.
std::size_t LinesIn(const std::string& bytes) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' || bytes[i] == '\r') {
      ++n;
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
  }
  return n + (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r');
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* given = std::getenv("VTQ_FUZZ_WORKDIR");
  char folder[] = "/tmp/vtq-batch-fuzz-XXXXXX";
  const char* dir = given != nullptr ? given : ::mkdtemp(folder);
  if (dir == nullptr) std::abort();
  path = std::string(dir) + "/batch-" + std::to_string(::getpid());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(path, std::ios::binary) << bytes;
  for (const bool csv : {false, true}) {
    std::vector<std::string> args{"vtq-cli", "batch", path};
    if (csv) args.insert(args.begin() + 2, "--csv");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = vtq::cli::Run(static_cast<int>(argv.size()), argv.data(), out, err);
    Check(status >= 0 && status <= 3, "a status outside 0 to 3");
    const std::string text = out.str();
    Check(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) == LinesIn(bytes),
          "not one answer a line");
  }
  return 0;
}
