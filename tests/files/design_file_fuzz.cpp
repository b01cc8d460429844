// Any bytes at all, read as a design file and opened by the window: nothing may crash,
// the Loading flag must be down afterwards, and a file that opened whole must save,
// open and save again to the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "files/design_file.h"
#include "ui/model/window_model.h"

namespace {

using namespace vtq;

struct QuietHost : WindowHost {
  std::string InputBox(std::string_view, std::string_view, std::string_view answer) override {
    return std::string(answer);
  }
  int MsgBox(std::string_view, std::string_view) override { return 1; }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {}
  void Beep() override {}
};

struct FixedPath : FileDialog {
  std::optional<std::string> Show(FileDialogPurpose, const FileDialogSettings&) override { return path; }
  std::string path;
};

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "design file fuzz: %s\n", what);
    std::abort();
  }
}

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    // In memory where there is such a folder: every save syncs its file to the disk.
    std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    auto f = base / ("vtq-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(f);
    std::atexit([] { std::filesystem::remove_all(Folder()); });
    return f;
  }();
  return folder;
}

std::string Contents(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Opens the file at `in` in a freshly started window, then saves it to `out`; the bytes
// saved, or nothing when the file did not open whole.
std::optional<std::string> OpenAndSave(const std::filesystem::path& in, const std::filesystem::path& out) {
  QuietHost host;
  FixedPath dialog;
  WindowModel model(host);
  model.UseFileDialog(&dialog);
  model.Form_Load(".");
  dialog.path = in.string();
  model.LoadMnu_Click();
  Check(model.state().Loading == 0, "Loading left up after Open");
  if (!model.LastFileError.empty()) return std::nullopt;
  dialog.path = out.string();
  model.SaveDesignMnu_Click();
  Check(model.LastFileError.empty(), "a design that opened whole could not be saved");
  return Contents(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const files::DecodedFile read = files::ReadDesignText(bytes);
  Check(read.count >= 0 && read.count <= files::kRecordCount, "record count out of range");
  Check(read.problem.empty() == (read.count == files::kRecordCount), "problem and count disagree");

  const auto input = Folder() / "input.vtq", first = Folder() / "first.vtq", second = Folder() / "second.vtq";
  std::ofstream(input, std::ios::binary | std::ios::trunc) << bytes;
  std::optional<std::string> saved = OpenAndSave(input, first);
  if (!saved) return 0;
  std::optional<std::string> again = OpenAndSave(first, second);
  Check(again.has_value(), "a file the program saved did not open whole");
  Check(*again == *saved, "save, open and save again gave other bytes");
  return 0;
}
