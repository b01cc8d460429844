// Any bytes at all, read as a design file and opened by the window: nothing may crash,
// the Loading flag must be down afterwards, and a file that opened whole must save,
// open and save again to the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "files/design_file.h"
#include "support.h"

namespace {

using namespace vtq;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "design file fuzz: %s\n", what);
    std::abort();
  }
}

// In memory where there is such a folder: every save syncs its file to the disk.
const test::ScratchFolder folder(test::fs::is_directory("/dev/shm") ? test::fs::path("/dev/shm")
                                                                    : test::fs::temp_directory_path());

// Opens the file at `in` in a freshly started window, then saves it to `out`; the bytes
// saved, or nothing when the file did not open whole.
std::optional<std::string> OpenAndSave(const std::string& in, const std::string& out) {
  test::QuietHost host;
  WindowModel model(host);
  model.Form_Load(".");
  host.paths = {in, out};
  model.LoadMnu_Click();
  Check(model.state().Loading == 0, "Loading left up after Open");
  if (!model.LastFileError.empty()) return std::nullopt;
  model.SaveDesignMnu_Click();
  Check(model.LastFileError.empty(), "a design that opened whole could not be saved");
  return test::Contents(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const files::DecodedFile read = files::ReadDesignText(bytes);
  Check(read.count >= 0 && read.count <= files::kRecordCount, "record count out of range");
  Check(read.problem.empty() == (read.count == files::kRecordCount), "problem and count disagree");

  test::Write(folder / "input.vtq", bytes);
  const std::optional<std::string> saved = OpenAndSave(folder / "input.vtq", folder / "first.vtq");
  if (!saved) return 0;
  const std::optional<std::string> again = OpenAndSave(folder / "first.vtq", folder / "second.vtq");
  Check(again.has_value(), "a file the program saved did not open whole");
  Check(*again == *saved, "save, open and save again gave other bytes");
  return 0;
}
