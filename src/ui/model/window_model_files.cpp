// Save and Open of the File menu: a design file holds the inputs and selections, and
// opening one puts them back under the Loading flag and runs exactly one calculation.
#include "files/design_file.h"
#include "files/file_io.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

// A design file is under a hundred bytes; a text box may hold a long text, but a file
// whose eight records are not within this much is no design file.
constexpr std::size_t kReadLimit = 1 << 20;

// Loading is 1 exactly while Open runs, whichever way it ends (an exception included:
// the command line's host refuses input prompts by throwing).
class LoadingFlag {
 public:
  explicit LoadingFlag(DesignState& s) : s_(s) { s_.Loading = 1; }
  ~LoadingFlag() { s_.Loading = 0; }
  LoadingFlag(const LoadingFlag&) = delete;
  LoadingFlag& operator=(const LoadingFlag&) = delete;

 private:
  DesignState& s_;
};

std::string_view ModeName(DesignModeOption mode) {
  switch (mode) {
    case DesignModeOption::Inductance:
      return "Inductance";
    case DesignModeOption::Voltage:
      return "Voltage";
    case DesignModeOption::Impedance:
      break;
  }
  return "Impedance";
}

}  // namespace

void WindowModel::SaveDesignMnu_Click() {
  FileStatus.clear();
  LastFileError.clear();
  cmnDialog1.Filter = kDesignFileFilter;
  cmnDialog1.DefaultExt = files::kExtension;
  cmnDialog1.FilterIndex = 2;
  cmnDialog1.Flags = kFileDialogOverwritePrompt | kFileDialogHideReadOnly;
  std::optional<std::string> path = host_.ChooseFile(FileDialogPurpose::Save, cmnDialog1);
  if (!path) return;

  auto fail = [&](const std::string& reason) {
    LastFileError = *path + ": " + reason;
    FileStatus = "Could not save " + LastFileError;
  };
  files::FileReplacement file;
  if (!file.Create(*path)) return fail(file.error());

  DesignState& s = window.state;
  s.DesignModeName = ModeName(window.inputs.Mode);
  // The current density is the one the last calculation used, while the input boxes
  // are stored as they stand, edited or not.
  const files::DesignRecords records{
      s.DesignModeName,      s.CurrentDensity,          s.MaterialLetter, window.inputs.MainInput,
      window.inputs.Current, window.inputs.SecondInput, s.UnitFactor,     s.DesignCore};
  files::EncodedFile text = files::WriteDesignText(records);
  if (!text.problem.empty()) return fail(text.problem);
  if (!file.Write(text.bytes) || !file.Commit()) return fail(file.error());
  FileStatus = "Saved design to " + *path;
}

void WindowModel::LoadMnu_Click() {
  FileStatus.clear();
  LastFileError.clear();
  LoadingFlag loading(window.state);
  // The default extension and the flags stay as an earlier Save left them.
  cmnDialog1.Filter = kDesignFileFilter;
  cmnDialog1.FilterIndex = 2;
  std::optional<std::string> path = host_.ChooseFile(FileDialogPurpose::Open, cmnDialog1);
  if (path) OpenPath(*path);
}

void WindowModel::OpenDesignFile(const std::string& path) {
  FileStatus.clear();
  LastFileError.clear();
  LoadingFlag loading(window.state);
  OpenPath(path);
}

void WindowModel::OpenPath(const std::string& path) {
  files::ReadOutcome read = files::ReadFileStart(path, kReadLimit);
  // What is not a design file is refused before any of it is applied, so the user hears
  // what the file is rather than a complaint about a record of garbage.
  if (read.error.empty() && read.truncated) read.error = "the file is too large to be a design file";
  if (read.error.empty() && !files::IsText(read.bytes)) read.error = "it is not a design file";
  if (!read.error.empty()) {
    LastFileError = path + ": " + read.error;
    FileStatus = "Could not open " + LastFileError;
    return;
  }
  const files::DecodedFile file = files::ReadDesignText(read.bytes);
  const files::DesignRecords& r = file.records;
  DesignState& s = window.state;
  InputControls& in = window.inputs;
  // Each record is applied in file order before the next is looked at, so a file that
  // ends early leaves what came before it applied. The option buttons run their
  // handlers under the Loading flag: labels and state change, texts and results do not.
  const int n = file.count;
  if (n >= 1) {
    s.DesignModeName = r.DesignModeName;
    if (r.DesignModeName == "Voltage") {
      VoltageInput_Click();
    } else if (r.DesignModeName == "Inductance") {
      InductanceInput_Click();
    } else {
      ImpedanceInput_Click();
    }
  }
  if (n >= 2) {
    s.CurrentDensity = r.CurrentDensity;
    in.txtCD = num::SingleText(r.CurrentDensity);
  }
  if (n >= 3) {
    s.MaterialLetter = r.MaterialLetter;
    const std::string& m = r.MaterialLetter;
    if (m == "D") {
      Dmat_Click();
    } else if (m == "P") {
      Pmat_Click();
    } else if (m == "R") {
      Rmat_Click();
    } else if (m == "S") {
      Smat_Click();
    } else {
      Nmat_Click();
    }
  }
  if (n >= 4) in.MainInput = r.MainInput;
  if (n >= 5) in.Current = r.Current;
  if (n >= 6) in.SecondInput = r.SecondInput;
  if (n >= 7) {
    s.UnitFactor = r.UnitFactor;
    if (r.UnitFactor == 1.0f) {
      English_Click();
    } else {
      Metric_Click();
    }
  }
  if (n < files::kRecordCount) {
    LastFileError = path + ": " + file.problem;
    FileStatus = "Opened " + path + " only in part (" + file.problem + "); nothing was calculated";
    return;
  }
  s.DesignCore = r.DesignCore;
  s.ListCore = s.DesignCore;
  // The status goes first: the calculation may stop at an input prompt that the
  // command line refuses, and the file itself was read whole.
  FileStatus = "Opened " + path;
  if (s.DesignCore == 0) {
    CalculateButton_Click();
  } else if (s.DesignCore > 0) {
    EvaluateCore(s.ListCore, window, host_);
  }
}

}  // namespace vtq
