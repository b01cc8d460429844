// Save and Open of the File menu: a design file holds the inputs and selections, and
// opening one puts them back under the Loading flag and runs exactly one calculation.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cores/library.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "files/design_file.h"
#include "files/file_io.h"
#include "files/mas.h"
#include "files/user_file.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

// Loading is 1 exactly while Open runs, whichever way it ends.
class LoadingFlag {
 public:
  explicit LoadingFlag(DesignState& s) : s_(s) { s_.Loading = 1; }
  ~LoadingFlag() { s_.Loading = 0; }
  LoadingFlag(const LoadingFlag&) = delete;
  LoadingFlag& operator=(const LoadingFlag&) = delete;

 private:
  DesignState& s_;
};

// The design file's word for each mode.
struct ModeFileName {
  DesignModeOption mode;
  std::string_view name;
};
constexpr ModeFileName kModeFileNames[] = {{DesignModeOption::Voltage, "Voltage"},
                                           {DesignModeOption::Impedance, "Impedance"},
                                           {DesignModeOption::Inductance, "Inductance"}};

std::string_view ModeName(DesignModeOption mode) {
  for (const ModeFileName& m : kModeFileNames) {
    if (m.mode == mode) return m.name;
  }
  return "Impedance";
}

// The records as the window takes them. A mode other than the three words opens in
// impedance mode, a letter other than the five as N, a unit factor other than exactly 1
// in millimetres.
DesignEntry EntryOf(const files::DesignRecords& r) {
  DesignEntry e;
  e.mode = DesignModeOption::Impedance;
  for (const ModeFileName& m : kModeFileNames) {
    if (m.name == r.DesignModeName) e.mode = m.mode;
  }
  e.density = num::SingleText(r.CurrentDensity);
  const int material = MaterialOfLetter(r.MaterialLetter);
  e.material = material == 0 ? 3 : material;
  e.main = r.MainInput;
  e.current = r.Current;
  e.frequency = r.SecondInput;
  e.english = r.UnitFactor == 1.0f;
  if (r.DesignCore != 0) e.core = r.DesignCore;
  return e;
}

}  // namespace

void WindowModel::SaveDesignMnu_Click() {
  FileStatus.clear();
  LastFileError.clear();
  LastFileUnreadable = false;
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
  RememberDesign(*path);
}

void WindowModel::LoadMnu_Click() {
  FileStatus.clear();
  LastFileError.clear();
  LastFileUnreadable = false;
  LoadingFlag loading(window.state);
  // The default extension and the flags stay as an earlier Save left them.
  cmnDialog1.Filter = kDesignFileFilter;
  cmnDialog1.FilterIndex = 2;
  std::optional<std::string> path = host_.ChooseFile(FileDialogPurpose::Open, cmnDialog1);
  if (!path) return;
  OpenPath(*path);
  if (LastFileError.empty()) RememberDesign(*path);
}

void WindowModel::OpenDesignFile(const std::string& path) {
  FileStatus.clear();
  LastFileError.clear();
  LastFileUnreadable = false;
  {
    LoadingFlag loading(window.state);
    OpenPath(path);
  }
  if (LastFileError.empty()) RememberDesign(path);
}

void WindowModel::RememberDesign(const std::string& path) {
  if (path == "-") return;  // standard input: nothing to open again
  // Kept absolute: a name given relative to where the program started means nothing on
  // the next run.
  std::error_code error;
  std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
  if (error) absolute = path;
  std::vector<std::string> recent = host_.RecentDesigns();
  std::erase(recent, absolute);
  recent.insert(recent.begin(), absolute);
  if (recent.size() > kRecentDesignCount) recent.resize(kRecentDesignCount);
  host_.SetRecentDesigns(recent);
}

void WindowModel::OpenRecentDesign(std::size_t index) {
  std::vector<std::string> recent = host_.RecentDesigns();
  if (index >= recent.size()) return;
  const std::string path = recent[index];
  OpenDesignFile(path);
  std::error_code error;
  if (LastFileError.empty() || std::filesystem::exists(path, error) || error) return;
  // Gone (moved, deleted, an unplugged drive): the entry would fail again every time.
  std::erase(recent, path);
  host_.SetRecentDesigns(recent);
  FileStatus += "; it is no longer listed under Recent Designs";
}

mas::Written WindowModel::MasExport() const {
  return mas::WriteDesign(window);
}

namespace {

// A length as the ring's size entry takes it: metres, 17 significant digits, which read back
// as the same double, so the ring read is the ring written.
std::string Metres(double length) {
  return num::Printed(length, 17) + "m";
}

// The ring a document's core names, into `in`; why there is none otherwise.
std::string RingOfDocument(const mas::RingRead& r, MasImport& in) {
  if (!r.problem.empty()) return r.problem;
  if (!cores::GradeByName(r.grade)) return "its grade \"" + r.grade + "\" is not in the library";
  RingEntry e;
  e.grade = r.grade;
  if (!r.part.empty() && cores::RingByPart(r.part)) {
    e.part = r.part;
  } else if (r.od && r.id && r.height) {
    e.toroid = Metres(*r.od) + "," + Metres(*r.id) + "," + Metres(*r.height);
    if (r.chamfer > 0) e.toroid += "," + Metres(r.chamfer);
  } else {
    return "its ring is no stocked part and gives no outer diameter, inner diameter and height";
  }
  e.turns = r.turns;
  e.windings = r.windings;
  e.temperature = r.ambient;
  if (r.insulation) {
    SafetyEntry mains;
    mains.mainsVoltage = num::DoubleText(r.insulation->mainsVoltage);
    mains.category = r.insulation->category;
    mains.pollution = r.insulation->pollution;
    mains.group = r.insulation->group;
    e.safety = mains;
  }
  in.ring = e;
  in.gauge = r.gauge;
  return {};
}

}  // namespace

MasImport ImportMas(const std::string& path, const DesignEntry& base) {
  MasImport in;
  in.entry = base;
  const files::UserText read = files::ReadUserFile(path, files::UserFileKind::Mas);
  if (read.systemFailure) {
    in.unreadable = true;
    in.problem = "cannot read " + path + ": " + read.error;
    return in;
  }
  if (!read.error.empty()) {
    in.problem = path + ": " + read.error;
    return in;
  }
  const mas::Requirements r = mas::ReadRequirements(read.text);
  if (!r.problem.empty()) {
    in.problem = path + " gives no design: " + r.problem;
    return in;
  }
  in.entry.mode = r.mode;
  in.entry.main = r.main;
  in.entry.current = r.current;
  in.entry.frequency = r.frequency;
  if (r.material != 0) in.entry.material = r.material;
  const mas::RingRead ring = mas::ReadRing(read.text);
  if (!ring.ring) return in;
  in.problem = RingOfDocument(ring, in);
  if (!in.problem.empty()) in.problem = path + " gives no ring to wind on: " + in.problem;
  return in;
}

std::string MasImport::WireNote(const RingView& v) const {
  if (gauge == 0 || v.gauge == 0 || v.gauge == gauge) return {};
  return "the document's windings are of AWG " + std::to_string(gauge) + ", the current density gives AWG " +
         std::to_string(v.gauge) + ": give the density it was designed for";
}

void WindowModel::ExportMasMnu_Click() {
  mas::Written doc;
  if (ringPicked_) {
    RingView ring;
    doc = RingMasExport(PickedRing(), ring);
    if (doc.problem.empty() && ring.status != 0) doc.problem = ring.problem;
  } else {
    doc = MasExport();
  }
  ExportFile({FileDialogPurpose::ExportMas, kMasExportTitle, "There is no design to export.", "MAS design",
              ShownPart()},
             doc.problem, ShownPart() + ".json", doc.text);
}

void WindowModel::ExportFile(const Export& kind, const std::string& problem, const std::string& fileName,
                             const std::string& bytes) {
  FileStatus.clear();
  LastFileError.clear();
  LastFileUnreadable = false;
  if (!problem.empty()) {
    host_.MsgBox(std::string(kind.nothing) + "\r" + problem, kind.title);
    return;
  }
  FileDialogSettings dialog;
  dialog.FileName = fileName;
  const std::optional<std::string> path = host_.ChooseFile(kind.purpose, dialog);
  if (!path) return;
  files::FileReplacement file;
  if (!file.Create(*path) || !file.Write(bytes) || !file.Commit()) {
    host_.MsgBox("Could not write " + *path + ":\r" + file.error() + ".", kind.title);
    return;
  }
  FileStatus = std::string(kind.what) + " of " + kind.part + " written to " + *path;
}

void WindowModel::OpenPath(const std::string& path) {
  files::UserText read = files::ReadUserFile(path, files::UserFileKind::Design);
  // What is not a design file is refused before any of it is applied, so the user hears
  // what the file is rather than a complaint about a record of garbage.
  if (read.error.empty() && !files::IsText(read.text)) read.error = "it is not a design file";
  if (!read.error.empty()) {
    LastFileError = path + ": " + read.error;
    LastFileUnreadable = read.systemFailure;
    FileStatus = "Could not open " + LastFileError;
    return;
  }
  const files::DecodedFile file = files::ReadDesignText(read.text);
  const files::DesignRecords& r = file.records;
  DesignState& s = window.state;
  // The mode's name and the density are kept as read, for Save to write back.
  if (file.count >= 1) s.DesignModeName = r.DesignModeName;
  if (file.count >= 2) s.CurrentDensity = r.CurrentDensity;
  const DesignEntry entry = EntryOf(r);
  // Each record is applied in file order before the next is looked at, so a file that
  // ends early leaves what came before it applied, and nothing is calculated.
  if (file.count < files::kRecordCount) {
    ApplyDesign(entry, file.count);
    LastFileError = path + ": " + file.problem;
    FileStatus = "Opened " + path + " only in part (" + file.problem + "); nothing was calculated";
    return;
  }
  s.DesignCore = r.DesignCore;
  s.ListCore = s.DesignCore;
  // The status goes first: the calculation may stop at an input prompt that the
  // command line refuses, and the file itself was read whole.
  FileStatus = "Opened " + path;
  // A negative row (a hand-edited file) runs no calculation.
  ApplyDesign(entry, r.DesignCore < 0 ? kDesignEntryParts - 1 : kDesignEntryParts);
}

BatchInput::~BatchInput() = default;

bool BatchInput::Open(const std::string& path) {
  return lines_.Open(path, files::UserFileKind::Batch);
}

BatchInput::Read BatchInput::Next(std::string& line) {
  return lines_.Next(line);
}

bool BatchInput::Ready() const {
  return lines_.Ready();
}

std::size_t BatchInput::LineCap() const {
  return files::SizeCap(files::UserFileKind::Batch);
}

const std::string& BatchInput::error() const {
  return lines_.error();
}

}  // namespace vtq
