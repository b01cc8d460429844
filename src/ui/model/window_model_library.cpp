// The stocked-ring library, listed and filtered.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "cores/library.h"
#include "cores/ring_geometry.h"
#include "engine/numbers.h"
#include "ui/model/analysis_views.h"
#include "ui/model/library_view.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

bool Holds(std::string_view text, std::string_view wanted) {
  return std::search(text.begin(), text.end(), wanted.begin(), wanted.end(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         }) != text.end();
}

std::string Mm(double metres) {
  return num::Printed(metres * 1e3, 4);
}

LibraryWindowView WindowViewOf(const LibraryEntry& entry) {
  LibraryWindowView w;
  w.list = LibraryViewOf(entry);
  w.headings = {"Part",    "Maker",   "Grade",         "OD (mm)", "ID (mm)",
                "HT (mm)", "le (mm)", "Ae (mm\u00b2)", "Curve",   "Price (USD)"};
  w.numeric = {false, false, false, true, true, true, true, true, false, true};
  for (const LibraryRow& r : w.list.rows) {
    w.cells.push_back({{r.part, 0},
                       {r.maker, 0},
                       {r.grade, 0},
                       {Mm(r.od), r.od},
                       {Mm(r.id), r.id},
                       {Mm(r.height), r.height},
                       {Mm(r.length), r.length},
                       {num::Printed(r.area * 1e6, 4), r.area},
                       {r.hasCurve ? "measured" : "none", r.hasCurve ? 1.0 : 0.0},
                       {r.price >= 0 ? num::Printed(r.price, 4) : "", r.price}});
  }
  const std::vector<const cores::StockedRing*> all = cores::FindRings({});
  for (const cores::StockedRing* r : all) {
    for (auto [names, name] : {std::pair{&w.makers, &r->maker}, std::pair{&w.grades, &r->grade}}) {
      if (std::find(names->begin(), names->end(), *name) == names->end()) names->emplace_back(*name);
    }
  }
  std::sort(w.makers.begin(), w.makers.end());
  std::sort(w.grades.begin(), w.grades.end());
  w.count = std::to_string(w.list.rows.size()) + " of " + std::to_string(all.size()) + " stocked rings";
  return w;
}

// The design on a ring, row by row, as the window lists it.
void DesignRowsOf(const RingView& v, LibraryWindowView& w) {
  w.design = (v.part.empty() ? std::string("Own ring") : v.maker + " " + v.part) + ", " + v.grade + ", " +
             Mm(v.od) + " x " + Mm(v.id) + " x " + Mm(v.height) + " mm";
  if (v.status != 0) w.design += ": " + v.problem;
  for (const RingStepRow& s : v.steps) {
    w.designRows.push_back({s.name, num::Printed(s.value, 4) + (s.unit.empty() ? "" : " " + s.unit), s.how});
  }
  for (std::size_t k = 0; k < v.windings.size(); ++k) {
    const RingWindingRow& r = v.windings[k];
    w.designRows.push_back(
        {"Winding " + std::to_string(k + 1),
         std::to_string(r.turns) + " turns over " + num::Printed(r.sectorDeg, 4) + " deg",
         "leakage " + num::Printed(r.leakage, 4) + " H, " + num::Printed(r.current, 4) + " A rms"});
  }
}

// The name a ring goes by in the views: its part number, or its size for a ring of the user's.
std::string RingLabel(const RingEntry& e) {
  return e.part.empty() ? "own ring " + e.toroid : e.part;
}

}  // namespace

std::optional<double> ParseLength(std::string_view text) {
  struct Unit {
    std::string_view name;
    double metres;
  };
  static constexpr Unit kUnits[] = {{"mm", 1e-3}, {"cm", 1e-2}, {"in", 0.0254}, {"m", 1}};
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  for (const Unit& u : kUnits) {
    if (!text.ends_with(u.name)) continue;
    std::string_view number = text.substr(0, text.size() - u.name.size());
    while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
    const std::optional<double> value = num::ParseStrict(number);
    if (!value || !std::isfinite(*value) || *value < 0) return std::nullopt;
    return *value * u.metres;
  }
  return std::nullopt;
}

LibraryView LibraryViewOf(const LibraryEntry& entry) {
  LibraryView v;
  v.source =
      "OpenMagnetics MAS database: data/cores_stock.ndjson and data/core_shapes.ndjson at commit "
      "1408499d0097ea60c2d07698e8e6a0d3e511c8e9 (Apache License 2.0), data/core_materials.ndjson at commit "
      "0512b026c0c03b80e008b3412af9cf3a71bba029 (BSD 4-Clause licence). This product includes software "
      "developed by OpenMagnetics. Prices as listed by the distributor on the date given, US dollars.";
  for (const cores::Correction& c : cores::Corrections()) {
    v.corrections.push_back(
        {std::string(c.grade), std::string(c.field), std::string(c.value), std::string(c.reason)});
  }
  cores::RingFilter filter{entry.maker, entry.grade, std::nullopt, std::nullopt};
  for (auto [text, bound, name] : {std::tuple{&entry.minOd, &filter.minOd, "smallest"},
                                   std::tuple{&entry.maxOd, &filter.maxOd, "largest"}}) {
    if (text->empty()) continue;
    *bound = ParseLength(*text);
    if (!*bound) {
      v.problem = std::string("The ") + name + " outer diameter \"" + *text +
                  "\" is not a length with its unit, such as 25mm or 0.98in.";
      return v;
    }
  }
  for (const cores::StockedRing* r : cores::FindRings(filter)) {
    if (!entry.search.empty() && !Holds(r->part, entry.search) && !Holds(r->maker, entry.search) &&
        !Holds(r->grade, entry.search)) {
      continue;
    }
    LibraryRow row;
    row.part = r->part;
    row.maker = r->maker;
    row.grade = r->grade;
    row.composition = r->composition;
    row.shape = r->shape;
    row.od = r->od;
    row.id = r->id;
    row.height = r->height;
    const cores::RingFigures f = cores::FiguresOf(cores::SizeOf(*r));
    row.length = f.length;
    row.area = f.area;
    row.volume = f.volume;
    row.hasCurve = cores::HasCurve(*r);
    if (const cores::LibraryGrade* g = cores::GradeByName(r->grade); g && !row.hasCurve)
      row.noCurve = g->noCurve;
    row.price = r->price;
    row.priceDate = r->priceDate;
    row.distributor = r->distributor;
    row.datasheet = r->datasheet;
    v.rows.push_back(std::move(row));
  }
  return v;
}

void WindowModel::ShowLibraryView(bool raise) {
  libraryView = WindowViewOf(libraryEntry);
  if (ringPicked_) {
    libraryView.picked = RingLabel(*ringPicked_);
    libraryView.ring = DesignOnRing(PickedRing());
    DesignRowsOf(*libraryView.ring, libraryView);
  }
  host_.ShowLibrary(libraryView, raise);
}

void WindowModel::mnuLibrary_Click() {
  libraryOpened_ = true;
  ShowLibraryView(true);
}

void WindowModel::Library_Change(const LibraryEntry& entry) {
  libraryEntry = entry;
  if (libraryOpened_) ShowLibraryView(false);
}

void WindowModel::Library_Pick(const std::string& part) {
  const cores::StockedRing* ring = cores::RingByPart(part);
  if (!ring) return;  // a list the library has moved on from
  RingEntry e;
  e.part = ring->part;
  ringPicked_ = e;
  libraryOpened_ = true;
  coreSearch = {};  // a catalogue search answers the design window's core, not the ring
  FollowDesign();
}

void WindowModel::LibraryUnpick_Click() {
  if (!ringPicked_) return;
  ringPicked_.reset();
  FollowDesign();
}

ImpedanceView WindowModel::ShownImpedance() const {
  if (!ringPicked_) return ImpedanceViewOf(window, impedanceEntry, ImpedanceMaterial(), measuredChoke);
  RingView ring;
  ImpedanceView v = RingImpedance(PickedRing(), impedanceEntry, ring);
  if (ring.status != 0) {
    v = {};
    v.part = RingLabel(*ringPicked_);
    v.problem = "No curve for the ring " + v.part + ": " + ring.problem;
  }
  return v;
}

EmissionsView WindowModel::ShownEmissions() {
  if (!ringPicked_) return CheckedEmissions(EmissionsDesign());
  RingView ring;
  EmissionsView v = RingEmissions(PickedRing(), ring);
  if (ring.status != 0) {
    v = {};
    v.part = RingLabel(*ringPicked_);
    v.problem = "No check of the ring " + v.part + ": " + ring.problem;
  }
  return v;
}

std::string WindowModel::ShownPart() const {
  return ringPicked_ ? RingLabel(*ringPicked_) : window.outputs.txtPN;
}

void WindowModel::ImportMasMnu_Click() {
  FileStatus.clear();
  LastFileError.clear();
  LastFileUnreadable = false;
  FileDialogSettings dialog;
  const std::optional<std::string> path = host_.ChooseFile(FileDialogPurpose::OpenMas, dialog);
  if (path) OpenMasDesign(*path);
}

bool WindowModel::OpenMasDesign(const std::string& path) {
  FileStatus.clear();
  LastFileError.clear();
  LastFileUnreadable = false;
  const InputControls& in = window.inputs;
  DesignEntry base{in.Mode, in.MainInput, in.Current, in.SecondInput, in.txtCD, in.Material, in.English};
  const MasImport doc = ImportMas(path, base);
  if (!doc.problem.empty()) {
    LastFileError = doc.problem;
    LastFileUnreadable = doc.unreadable;
    FileStatus = "Could not open " + doc.problem;
    host_.MsgBox("Could not open the MAS design " + doc.problem, "Open MAS Design");
    return false;
  }
  ApplyDesign(doc.entry);
  FileStatus = "Opened " + path;
  if (doc.ring) {
    // The ring is wound again and shown where a ring picked from the library is; its
    // windings and mains become the safety inputs, which wind every picked ring.
    ringPicked_ = *doc.ring;
    safetyEntry.windings = doc.ring->windings;
    if (doc.ring->safety) safetyEntry = *doc.ring->safety;
    safetyEntry.windings = doc.ring->windings;
    coreSearch = {};
    libraryOpened_ = true;
    ShowLibraryView(true);
    const std::string note = libraryView.ring ? doc.WireNote(*libraryView.ring) : std::string();
    FileStatus += ": the choke on " + RingLabel(*doc.ring) + (note.empty() ? "" : "; " + note);
  }
  FollowDesign();
  return true;
}

}  // namespace vtq
