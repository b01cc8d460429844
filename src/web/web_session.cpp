// The design window's model for the web page. The page sets input texts, clicks controls
// by name and answers dialogs; each call returns the window's state as JSON.
//
// The model asks its questions synchronously (a message box returns when dismissed), but
// a page cannot wait inside a call. So a command runs on a copy of the model taken
// before it; a question not yet answered stops the run and goes to the page, and once
// the page has the answer the command runs again from that copy with every answer given
// so far. The handlers are deterministic, so the rerun reaches the same question, takes
// the answer and carries on: the page sees exactly the dialogs the desktop shows.
#include <emscripten/bind.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "reports/page.h"
#include "reports/reports.h"
#include "ui/model/analysis_views.h"
#include "ui/model/controls.h"
#include "ui/model/design_link.h"
#include "ui/model/layout.h"
#include "ui/model/menus.h"
#include "ui/model/plot_style.h"
#include "ui/model/window_model.h"

namespace vtq::web {
namespace {

using Json = nlohmann::ordered_json;

// Thrown out of a handler at a question the page has not answered yet.
struct Question {
  Json dialog;
};

// Files live in the module's memory file system, in the working folder the page sets up:
// an opened file is written there under its own name by the page first; a saved or
// exported one is written under the name the model suggests, then downloaded. The names
// are the ones the status line shows. A design saved for the first time is named after its
// part number, as a user would file it.
constexpr const char* kSavedFile = "design.vtq";

std::string FirstSaveName(std::string partNumber) {
  // "(2x) QN-80111-KX" names a stack of two: the file is named for the part.
  if (partNumber.starts_with('(')) partNumber.erase(0, partNumber.find(' ') + 1);
  if (partNumber.empty()) return kSavedFile;
  for (char& c : partNumber) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
    if (!plain) c = '_';
  }
  return partNumber + ".vtq";
}

class PageHost : public WindowHost {
 public:
  // Answers given so far for the command being run, in the order it asks.
  std::vector<std::string> answers;
  std::size_t asked = 0;
  // What the last run left for the page to do.
  std::optional<std::string> focus, help, printPage, written;
  // The analysis views the last run showed, and whether it asked for their window in front.
  std::optional<CoreTableView> coreTable;
  std::optional<ImpedanceView> impedance;
  std::optional<EmissionsView> emissions;
  std::optional<LibraryWindowView> library;
  std::optional<SafetyWindowView> safety;
  CoreSearchView coreSearch;
  bool raiseCoreTable = false, raiseImpedance = false, raiseEmissions = false, raiseLibrary = false,
       raiseSafety = false;
  // Save Plot: the name the page chose (its suffix picks the format) and the picture the
  // model then asked to be drawn, which the page draws from the same view.
  std::string plotName = "impedance.svg";
  std::optional<std::pair<std::string, PictureFormat>> picture;
  std::string pictureOf;  // "impedance" or "emissions": which view the picture draws
  bool unloaded = false, beep = false;
  std::string chosenFile;      // the file the page put in place for Open; empty: none chosen
  std::string chosenMaterial;  // the same for Measured Material...
  std::string chosenMeasured;  // and for Measured Choke...
  std::string chosenMas;       // and for Open MAS Design...
  std::string partNumber;      // the design's, when the command began
  std::optional<reports::ReportDate> date;
  // File > Recent Designs, kept by the page from one visit to the next with the files'
  // bytes, which it puts back in place before the list is used.
  std::vector<std::string> recent;

  void StartRun() {
    asked = 0;
    focus.reset();
    help.reset();
    printPage.reset();
    written.reset();
    coreTable.reset();
    impedance.reset();
    emissions.reset();
    library.reset();
    safety.reset();
    picture.reset();
    beep = false;
  }

  std::string Ask(Json dialog) {
    if (asked < answers.size()) return answers[asked++];
    throw Question{std::move(dialog)};
  }

  std::string InputBox(std::string_view prompt, std::string_view title,
                       std::string_view defaultAnswer) override {
    return Ask({{"kind", "input"}, {"text", prompt}, {"title", title}, {"default", defaultAnswer}});
  }
  int MsgBox(std::string_view text, std::string_view title) override {
    Ask({{"kind", "message"}, {"text", text}, {"title", title}});
    return 1;
  }
  void SetFocus(std::string_view control) override { focus = std::string(control); }
  void ShowWindow() override {}
  void Beep() override { beep = true; }
  void Unload() override { unloaded = true; }
  // The help pages are served beside the page; the page opens the one asked for.
  bool ShowHelp(std::string_view page) override {
    help = std::string(page);
    return true;
  }

  // Open reads what the page put there, and is a cancel when the user chose no file. A
  // file to write goes where the page reads it back for the download. PDF files are the
  // browser's print dialog's business.
  std::optional<std::string> ChooseFile(FileDialogPurpose purpose,
                                        const FileDialogSettings& settings) override {
    if (purpose == FileDialogPurpose::Open) {
      if (chosenFile.empty()) return std::nullopt;
      return chosenFile;
    }
    if (purpose == FileDialogPurpose::OpenMaterial) {
      if (chosenMaterial.empty()) return std::nullopt;
      return chosenMaterial;
    }
    if (purpose == FileDialogPurpose::OpenMeasurement) {
      if (chosenMeasured.empty()) return std::nullopt;
      return chosenMeasured;
    }
    if (purpose == FileDialogPurpose::OpenMas) {
      if (chosenMas.empty()) return std::nullopt;
      return chosenMas;
    }
    if (purpose == FileDialogPurpose::ExportPdf) return std::nullopt;
    const std::string& suggested = purpose == FileDialogPurpose::SavePlot ? plotName : settings.FileName;
    std::string name =
        suggested.empty() ? FirstSaveName(partNumber) : suggested.substr(suggested.find_last_of('/') + 1);
    written = name;
    return name;
  }

  // The browser's print dialog prints the page or saves it as PDF; the model hands over
  // the page as text in the line-printer layout.
  bool CanPrint() const override { return true; }
  PrintResult PrintOnDefaultPrinter(const reports::Document& doc) override {
    printPage = reports::RenderText(doc);
    return {"of this browser", ""};
  }
  bool OfferPdf(std::string_view, std::string_view) override { return false; }
  std::string WritePdf(const reports::Document&, const std::string&) override {
    return "PDF files are made by the browser's print dialog";
  }
  reports::ReportDate Today() override { return date ? *date : reports::Today(); }
  std::vector<std::string> RecentDesigns() const override { return recent; }
  void SetRecentDesigns(const std::vector<std::string>& paths) override { recent = paths; }

  void ShowCoreTable(const CoreTableView& view, bool raise) override {
    coreTable = view;
    raiseCoreTable = raise;
  }
  void ShowImpedance(const ImpedanceView& view, bool raise) override {
    impedance = view;
    raiseImpedance = raise;
  }
  void ShowEmissions(const EmissionsView& view, const CoreSearchView& search, bool raise) override {
    emissions = view;
    coreSearch = search;
    raiseEmissions = raise;
  }
  void ShowLibrary(const LibraryWindowView& view, bool raise) override {
    library = view;
    raiseLibrary = raise;
  }
  void ShowSafety(const SafetyWindowView& view, bool raise) override {
    safety = view;
    raiseSafety = raise;
  }
  std::string WritePlotPicture(const PlotPicture&, const std::string& path, PictureFormat format) override {
    picture = {path, format};
    return "";
  }
};

Json CoreTableJson(const CoreTableView& v, bool raise) {
  Json rows = Json::array();
  for (const CoreTableRow& r : v.rows) {
    Json cells = Json::array();
    for (const CoreTableCell& c : r.cells) cells.push_back({c.text, c.sortValue, c.toolTip});
    rows.push_back({{"row", r.row}, {"automatic", r.automatic}, {"cells", cells}});
  }
  return {{"title", kCoreTableTitle},
          {"raise", raise},
          {"headings", v.headings},
          {"numeric", v.numeric},
          {"intro", v.intro},
          {"note", v.note},
          {"rows", rows}};
}

// A colour as CSS writes it, "#1f4e9a".
std::string CssColour(const Rgb& c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
  return text;
}

// A curve's line: its colour on a light and on a dark ground (none: the text's colour),
// its opacity, its width and its dashes in px.
Json StyleJson(const TraceStyle& style) {
  Json dash = Json::array();
  if (style.dash != LineDash::Solid) {
    for (double length : style.dash == LineDash::Dot ? kDotPattern : kDashPattern)
      dash.push_back(length * style.width);
  }
  Json colours = nullptr;
  if (style.ink != Ink::Text)
    colours = {CssColour(InkColour(style.ink, false)), CssColour(InkColour(style.ink, true))};
  return {{"colours", colours}, {"alpha", style.alpha / 255.0}, {"width", style.width}, {"dash", dash}};
}

// A plot's data; the page draws it as the desktop window does.
Json PlotJson(const Plot& v) {
  Json traces = Json::array();
  for (const PlotTrace& t : v.traces) {
    // Each piece as [x0, y0, x1, y1, ...] in the area's unit square, as the model clipped it.
    Json pieces = Json::array();
    for (const auto& piece : t.line) {
      Json flat = Json::array();
      for (const PlotPoint& p : piece) flat.insert(flat.end(), {p.x, p.y});
      pieces.push_back(std::move(flat));
    }
    // A level of a harmonic the source does not have (-inf) is no JSON number: null.
    Json values = Json::array();
    for (double value : t.values) values.push_back(std::isfinite(value) ? Json(value) : Json(nullptr));
    traces.push_back({{"trace", TraceKey(t.trace)},
                      {"style", StyleJson(TraceStyleOf(t.trace))},
                      {"name", t.name},
                      {"values", std::move(values)},
                      {"line", std::move(pieces)}});
  }
  auto axis = [](const PlotAxis& a) {
    return Json{{"from", a.from}, {"to", a.to}, {"labels", a.labels}, {"ticks", a.ticks}};
  };
  Json view = {{"problem", v.problem},
               {"heading", v.title},
               {"frequencies", v.frequencies},
               {"traces", traces},
               {"x", axis(v.x)},
               {"y", axis(v.y)},
               {"selfResonance", v.selfResonance},
               {"selfResonanceAt", v.selfResonanceAt},
               {"caption", v.caption},
               {"requiredLabel", v.requiredLabel}};
  if (v.requiredAt) view["requiredAt"] = {v.requiredAt->x, v.requiredAt->y};
  return view;
}

Json ImpedanceJson(const ImpedanceView& v, bool raise) {
  Json view = PlotJson(v);
  view["insertionLoss"] = PlotJson(v.insertionLoss);
  if (v.ratio.problem.empty()) view["ratio"] = PlotJson(v.ratio);
  view["measured"] = v.measuredChoke != nullptr;
  view["temperature"] = v.temperature;
  view["title"] = kImpedanceTitle;
  view["raise"] = raise;
  if (v.required) view["required"] = {v.required->frequency, v.required->magnitude};
  return view;
}

// The safety view with the inputs it was worked out from, and the tabulated equipment cases
// as [key, name, source] for their list.
Json SafetyJson(const SafetyWindowView& v, const SafetyEntry& e, bool raise) {
  Json equipment = Json::array();
  for (const TouchCurrentRow& r : v.equipment) equipment.push_back({r.key, r.name, r.source});
  return {{"title", std::string(kSafetyTitle)},
          {"raise", raise},
          {"entry",
           {{"windings", std::to_string(e.windings)},
            {"mainsVoltage", e.mainsVoltage},
            {"mainsFrequency", e.mainsFrequency},
            {"category", e.category},
            {"pollution", e.pollution},
            {"group", e.group},
            {"divider", e.divider},
            {"equipment", e.equipment},
            {"touchCurrent", e.touchCurrent}}},
          {"of", v.of},
          {"problem", v.problem},
          {"headings", v.headings},
          {"gaps", v.gaps},
          {"lines", v.view.lines},
          {"equipment", equipment}};
}

// The core library's view with the filter it was listed by: each row's cells as [text,
// number behind it], the part number first.
Json LibraryJson(const LibraryWindowView& v, const LibraryEntry& e, bool raise) {
  Json rows = Json::array();
  for (const auto& row : v.cells) {
    Json cells = Json::array();
    for (const LibraryCell& c : row) cells.push_back({c.text, c.sortValue});
    rows.push_back(std::move(cells));
  }
  Json notes = Json::array();
  for (const LibraryRow& r : v.list.rows) notes.push_back(r.noCurve);
  Json corrections = Json::array();
  for (const LibraryCorrection& c : v.list.corrections) {
    corrections.push_back(c.grade + " " + c.field + " " + c.value + ": " + c.reason);
  }
  return {{"title", "Core Library"},
          {"raise", raise},
          {"entry",
           {{"search", e.search},
            {"maker", e.maker},
            {"grade", e.grade},
            {"minOd", e.minOd},
            {"maxOd", e.maxOd}}},
          {"problem", v.list.problem},
          {"count", v.count},
          {"makers", v.makers},
          {"grades", v.grades},
          {"headings", v.headings},
          {"numeric", v.numeric},
          {"rows", rows},
          {"noCurve", notes},
          {"picked", v.picked},
          {"design", v.design},
          {"designRows", v.designRows},
          {"source", v.list.source},
          {"corrections", corrections}};
}

// The emissions view with the entries it was computed from and the last core search.
Json EmissionsJson(const EmissionsView& v, const CoreSearchView& search, const EmissionsEntry& e,
                   bool raise) {
  Json view = PlotJson(v);
  view["title"] = kEmissionsTitle;
  view["raise"] = raise;
  view["inputProblem"] = v.inputProblem;
  Json standards = Json::array();
  for (const EmissionStandard& line : EmissionStandards()) standards.push_back({line.key, line.name});
  view["standards"] = std::move(standards);
  view["entry"] = {{"standard", e.standard},
                   {"network", e.network},
                   {"swing", e.swing},
                   {"frequency", e.frequency},
                   {"duty", e.duty},
                   {"rise", e.rise},
                   {"parasitic", e.parasitic},
                   {"ripple", e.ripple},
                   {"rippleShape", e.rippleShape},
                   {"cy", e.cy},
                   {"cx", e.cx},
                   {"margin", e.margin}};
  view["search"] = {{"headings", search.headings},
                    {"rows", search.rows},
                    {"summary", search.summary},
                    {"canApply", search.apply && !search.applied}};
  return view;
}

class Session {
 public:
  Session() { Reset(); }

  std::string Start() {
    Reset();
    return Run([](WindowModel& m) { m.Form_Load("."); });
  }

  void SetInput(const std::string& name, const std::string& text) {
    InputControls& in = model_->window.inputs;
    for (const auto& i : layout::kInputs) {
      if (name == i.name) in.*i.text = text;
    }
  }

  std::string Click(const std::string& name) {
    return Run([name](WindowModel& m) {
      if (ClickControl(m, name)) return;
      // A name the page got wrong is its fault, said on the status line, not a silent no-op.
      throw std::invalid_argument("the page has no command named '" + name + "'");
    });
  }

  // A core of the core table applied (catalogue row 1 to 24).
  std::string TableDblClick(int row) {
    return Run([row](WindowModel& m) { m.CompareTable_DblClick(row); });
  }

  // The open analysis views brought in line with an edit or a command.
  std::string Follow() {
    return Run([](WindowModel& m) { m.FollowDesign(); });
  }

  // Save Plot under a name whose suffix (.svg, .png, .csv) gives the format: of the
  // impedance plot, or of the emissions plot when the name starts with "emissions".
  std::string SavePlot(const std::string& name) {
    host_.plotName = name;
    host_.pictureOf = name.starts_with("emissions") ? "emissions" : "impedance";
    if (host_.pictureOf == "emissions") return Run([](WindowModel& m) { m.EmissionsSave_Click(); });
    return Run([](WindowModel& m) { m.ImpedanceSave_Click(); });
  }

  // The impedance plot's core temperature, C (held to -40 .. 150 C by the model).
  std::string SetTemperature(double celsius) {
    return Run([celsius](WindowModel& m) { m.ImpedanceTemperature_Change(celsius); });
  }

  // The emissions window's entries as the page's boxes hold them (a JSON object of texts;
  // a key left out keeps its value).
  std::string SetEmissions(const std::string& json) {
    EmissionsEntry e = model_->emissionsEntry;
    const Json entry = Json::parse(json, nullptr, false);
    const std::pair<const char*, std::string EmissionsEntry::*> kKeys[] = {
        {"standard", &EmissionsEntry::standard},
        {"network", &EmissionsEntry::network},
        {"swing", &EmissionsEntry::swing},
        {"frequency", &EmissionsEntry::frequency},
        {"duty", &EmissionsEntry::duty},
        {"rise", &EmissionsEntry::rise},
        {"parasitic", &EmissionsEntry::parasitic},
        {"ripple", &EmissionsEntry::ripple},
        {"rippleShape", &EmissionsEntry::rippleShape},
        {"cy", &EmissionsEntry::cy},
        {"cx", &EmissionsEntry::cx},
        {"margin", &EmissionsEntry::margin}};
    if (entry.is_object()) {
      for (const auto& [key, field] : kKeys) {
        if (entry.contains(key) && entry[key].is_string()) e.*field = entry[key].get<std::string>();
      }
    }
    return Run([e](WindowModel& m) { m.Emissions_Change(e); });
  }

  // The core library's filter as the page's boxes hold it (a JSON object of texts; a key
  // left out keeps its value), and a ring picked from its list by part number.
  std::string SetLibrary(const std::string& json) {
    LibraryEntry e = model_->libraryEntry;
    const Json entry = Json::parse(json, nullptr, false);
    const std::pair<const char*, std::string LibraryEntry::*> kKeys[] = {{"search", &LibraryEntry::search},
                                                                         {"maker", &LibraryEntry::maker},
                                                                         {"grade", &LibraryEntry::grade},
                                                                         {"minOd", &LibraryEntry::minOd},
                                                                         {"maxOd", &LibraryEntry::maxOd}};
    if (entry.is_object()) {
      for (const auto& [key, field] : kKeys) {
        if (entry.contains(key) && entry[key].is_string()) e.*field = entry[key].get<std::string>();
      }
    }
    return Run([e](WindowModel& m) { m.Library_Change(e); });
  }
  // The safety inputs as the page's boxes hold them (a JSON object of texts; a key left out
  // keeps its value; windings as "2", "3" or "4").
  std::string SetSafety(const std::string& json) {
    SafetyEntry e = model_->safetyEntry;
    const Json entry = Json::parse(json, nullptr, false);
    const std::pair<const char*, std::string SafetyEntry::*> kKeys[] = {
        {"mainsVoltage", &SafetyEntry::mainsVoltage},
        {"mainsFrequency", &SafetyEntry::mainsFrequency},
        {"category", &SafetyEntry::category},
        {"pollution", &SafetyEntry::pollution},
        {"group", &SafetyEntry::group},
        {"divider", &SafetyEntry::divider},
        {"equipment", &SafetyEntry::equipment},
        {"touchCurrent", &SafetyEntry::touchCurrent}};
    if (entry.is_object()) {
      for (const auto& [key, field] : kKeys) {
        if (entry.contains(key) && entry[key].is_string()) e.*field = entry[key].get<std::string>();
      }
      if (entry.contains("windings") && entry["windings"].is_string()) {
        const std::string w = entry["windings"].get<std::string>();
        if (w == "2" || w == "3" || w == "4") e.windings = w[0] - '0';
      }
    }
    return Run([e](WindowModel& m) { m.Safety_Change(e); });
  }
  std::string PickRing(const std::string& part) {
    return Run([part](WindowModel& m) { m.Library_Pick(part); });
  }

  // The design and, with `emissions`, the emission case as a link's fields (a JSON object
  // of texts, in order).
  std::string Link(bool emissions) const {
    Json fields = Json::object();
    for (const auto& [key, text] : DesignLinkOf(*model_, emissions)) fields[key] = text;
    return Text(fields);
  }

  // A link's fields (a JSON object of texts) applied; what was left out of it is said on
  // the status line.
  std::string OpenLink(const std::string& json) {
    LinkFields fields;
    const Json object = Json::parse(json, nullptr, false);
    if (object.is_object()) {
      for (const auto& [key, text] : object.items()) {
        if (text.is_string()) fields.emplace_back(key, text.get<std::string>());
      }
    }
    return Run([fields](WindowModel& m) {
      std::string refused = OpenDesignLink(m, fields);
      if (!refused.empty()) m.FileStatus = std::move(refused);
    });
  }

  // Edit > Copy Results: the rows the page puts on the clipboard.
  std::string Results() const { return ResultsTable(model_->window.outputs); }

  std::string PickCore(int index) {
    return Run([index](WindowModel& m) { m.lstCores_Click(index); });
  }

  // File > Recent Designs: the page's list as it kept it (a JSON array of paths; anything
  // else is an empty list), and one of its entries (from 0) opened.
  void SetRecent(const std::string& json) {
    host_.recent.clear();
    const Json list = Json::parse(json, nullptr, false);
    if (!list.is_array()) return;
    for (const Json& path : list) {
      if (path.is_string() && host_.recent.size() < kRecentDesignCount) host_.recent.push_back(path);
    }
  }
  std::string OpenRecent(int index) {
    return Run([index](WindowModel& m) {
      if (index >= 0) m.OpenRecentDesign(static_cast<std::size_t>(index));
    });
  }

  // Open Design: the page has written the chosen file by this name, or chose none ("",
  // a cancel).
  std::string Open(const std::string& name) {
    host_.chosenFile = name;
    return Run([](WindowModel& m) { m.LoadMnu_Click(); });
  }

  // Open MAS Design...: the page has written the user's document by this name.
  std::string OpenMas(const std::string& name) {
    host_.chosenMas = name;
    return Run([](WindowModel& m) { m.ImportMasMnu_Click(); });
  }

  // Measured Material...: the page has written the user's material file by this name.
  std::string OpenMaterial(const std::string& name) {
    host_.chosenMaterial = name;
    return Run([](WindowModel& m) { m.ImpedanceMaterial_Click(); });
  }

  // Measured Choke...: the page has written the network analyser's or maker's file by this name.
  std::string OpenMeasured(const std::string& name) {
    host_.chosenMeasured = name;
    return Run([](WindowModel& m) { m.ImpedanceMeasured_Click(); });
  }

  std::string Answer(const std::string& text) {
    host_.answers.push_back(text);
    return Replay();
  }

  // The report's date, so that a test's print page does not depend on the day.
  void SetDate(int month, int day, int year) { host_.date = reports::ReportDate{year, month, day}; }

  std::string View() const { return Text(ViewJson()); }

 private:
  using Command = std::function<void(WindowModel&)>;

  // A new design keeps the page's settings (the report date, the recent designs),
  // nothing else.
  void Reset() {
    const std::optional<reports::ReportDate> date = host_.date;
    std::vector<std::string> recent = std::move(host_.recent);
    host_ = PageHost{};
    host_.date = date;
    host_.recent = std::move(recent);
    model_ = std::make_unique<WindowModel>(host_);
  }

  std::string Run(Command command) {
    before_ = std::make_unique<WindowModel>(*model_);
    recentBefore_ = host_.recent;
    command_ = std::move(command);
    host_.answers.clear();
    return Replay();
  }

  std::string Replay() {
    if (!command_) return Text(ViewJson());
    model_ = std::make_unique<WindowModel>(*before_);
    // Each rerun must see the list as the command first found it.
    host_.recent = recentBefore_;
    host_.partNumber = model_->window.outputs.txtPN;
    host_.StartRun();
    try {
      command_(*model_);
    } catch (const Question& q) {
      Json view = ViewJson();
      view["dialog"] = q.dialog;
      return Text(view);
    } catch (const std::exception& e) {
      // A fault of ours must not leave the page without an answer: the state before the
      // command stays, and the status line says what went wrong.
      command_ = nullptr;
      model_ = std::make_unique<WindowModel>(*before_);
      Json view = ViewJson();
      view["FileStatus"] = std::string("Internal error: ") + e.what();
      return Text(view);
    }
    command_ = nullptr;
    return Text(ViewJson());
  }

  // Text that is not UTF-8 (a file name of the page's) is shown with replacement marks
  // rather than refused.
  static std::string Text(const Json& view) {
    return view.dump(-1, ' ', false, Json::error_handler_t::replace);
  }

  Json ViewJson() const {
    const WindowModel& m = *model_;
    const InputControls& in = m.window.inputs;
    const OutputBoxes& o = m.window.outputs;
    Json texts = Json::object();
    for (const auto& i : layout::kInputs) texts[i.name] = in.*i.text;
    for (const auto& box : kOutputBoxFields) texts[std::string(box.name)] = o.*box.text;
    // Each result box's caption, as a screen reader names it (the inductance's unit follows
    // its size, so the names go with every view).
    Json names = Json::object();
    for (const auto& box : layout::kOutputs) names[box.name] = OutputCaption(box, o);
    Json options = Json::object();
    for (int k = 1; k <= kMaterialCount; ++k) {
      const std::string_view name = Materials[static_cast<std::size_t>(k)].OptionName;
      options[std::string(name)] = OptionSelected(in, name);
    }
    for (const auto& opt : layout::kOptions) options[opt.name] = OptionSelected(in, opt.name);
    Json view = {{"texts", texts},
                 {"options", options},
                 {"names", names},
                 {"captions", {{"lblMainInput", m.lblMainInputCaption}, {"IndLabel", o.IndLabel}}},
                 {"tooltips", {{"lblMainInput", m.lblMainInputToolTip}}},
                 {"SecondInputEnabled", m.SecondInputEnabled},
                 {"lstCoresVisible", m.lstCoresVisible},
                 {"lstCores", m.lstCores},
                 {"txtPNLeft", o.txtPNLeft},
                 {"txtPNWidth", o.txtPNWidth},
                 {"FileStatus", m.FileStatus},
                 {"DesignNote", m.DesignNote()},
                 {"PrintStatus", m.PrintStatus},
                 {"recent", host_.recent},
                 {"unloaded", host_.unloaded},
                 {"beep", host_.beep}};
    if (host_.focus) view["focus"] = *host_.focus;
    if (host_.help) view["help"] = *host_.help;
    if (host_.printPage) view["printPage"] = *host_.printPage;
    if (host_.written && std::filesystem::exists(*host_.written)) view["download"] = *host_.written;
    if (host_.coreTable) view["coreTable"] = CoreTableJson(*host_.coreTable, host_.raiseCoreTable);
    if (host_.impedance) view["impedance"] = ImpedanceJson(*host_.impedance, host_.raiseImpedance);
    if (host_.emissions) {
      view["emissions"] =
          EmissionsJson(*host_.emissions, host_.coreSearch, m.emissionsEntry, host_.raiseEmissions);
    }
    if (host_.library) view["library"] = LibraryJson(*host_.library, m.libraryEntry, host_.raiseLibrary);
    if (host_.safety) view["safety"] = SafetyJson(*host_.safety, m.safetyEntry, host_.raiseSafety);
    if (host_.picture) {
      view["picture"] = {{"of", host_.pictureOf},
                         {"name", host_.picture->first},
                         {"format", host_.picture->second == PictureFormat::Svg ? "svg" : "png"}};
    }
    return view;
  }

  PageHost host_;
  std::unique_ptr<WindowModel> model_, before_;
  std::vector<std::string> recentBefore_;
  Command command_;
};

// A menu's entries: [name, kind, caption, keys, entries], kind as "command", "submenu",
// "recent" or "separator".
Json MenuJson(std::span<const menus::Entry> entries) {
  Json list = Json::array();
  for (const menus::Entry& e : entries) {
    constexpr std::string_view kKinds[] = {"command", "submenu", "recent", "separator"};
    list.push_back(
        {e.name, kKinds[static_cast<std::size_t>(e.kind)], e.caption, e.keys, MenuJson(e.entries)});
  }
  return list;
}

// The controls, their captions and places (twips) for the page to lay out.
std::string Layout() {
  Json frames = Json::array(), labels = Json::array(), inputs = Json::array(), outputs = Json::array(),
       buttons = Json::array(), options = Json::array();
  auto place = [](const layout::Place& p) { return Json{p.left, p.top, p.width, p.height}; };
  for (const auto& f : layout::kFrames) frames.push_back({f.name, f.caption, f.tooltip, place(f.place)});
  for (const auto& l : layout::kLabels)
    labels.push_back({l.name, l.parent, l.caption, l.tooltip, place(l.place)});
  for (const auto& i : layout::kInputs) inputs.push_back({i.name, "frmInput", place(i.place)});
  for (const auto& o : layout::kOutputs) outputs.push_back({o.name, o.parent, place(o.place)});
  for (const auto& b : layout::kButtons) buttons.push_back({b.name, b.caption, place(b.place)});
  for (int k = 1; k <= kMaterialCount; ++k) {
    const Material& mat = Materials[static_cast<std::size_t>(k)];
    options.push_back({mat.OptionName, "Frame1", mat.Caption, "", place(layout::MaterialOptionPlace(k))});
  }
  for (const auto& o : layout::kOptions)
    options.push_back({o.name, o.parent, o.caption, o.tooltip, place(o.place)});
  Json menus = Json::array();
  for (const menus::Menu& m : menus::kMenuBar) menus.push_back({m.name, m.caption, MenuJson(m.entries)});
  Json tabOrder = Json::array();
  for (const char* name : layout::kTabOrder) tabOrder.push_back(name);
  return Json{{"client", {layout::kClientWidth, layout::kClientHeight}},
              {"title", {layout::kTitleCaption, place(layout::kTitlePlace)}},
              {"toroid", place(layout::kToroidPicturePlace)},
              {"logo", place(layout::kLogoPlace)},
              {"lstCores", place(layout::kCoreListPlace)},
              {"frames", frames},
              {"labels", labels},
              {"inputs", inputs},
              {"outputs", outputs},
              {"buttons", buttons},
              {"options", options},
              {"tabOrder", tabOrder},
              {"menus", menus},
              {"disclaimerTitle", kDisclaimerTitle}}
      .dump();
}

}  // namespace

// The pixel frame of a plot width x height px drawn with the page's text sizes (px; the
// legend's name widths as a JSON array): the area, the title's, each legend entry's and the
// frequency labels' places, and the frame's fixed lengths and lines.
std::string PlotFrameJson(double width, double height, double line, double ascent, double widestYLabel,
                          double lastXLabel, const std::string& legendNames, int titleLines) {
  PlotTextSizes sizes{line, ascent, widestYLabel, lastXLabel, {}, titleLines};
  const Json names = Json::parse(legendNames, nullptr, false);
  if (names.is_array()) {
    for (const Json& name : names) sizes.legendNames.push_back(name.is_number() ? name.get<double>() : 0.0);
  }
  const PlotFrame f = PlotFrameOf(width, height, sizes);
  Json legend = Json::array();
  for (const PlotPoint& at : f.legend) legend.push_back({at.x, at.y});
  return Json{{"left", f.left},
              {"top", f.top},
              {"right", f.right},
              {"bottom", f.bottom},
              {"titleX", f.titleX},
              {"titleY", f.titleY},
              {"legend", legend},
              {"xLabelY", f.xLabelY},
              {"legendStroke", kLegendStroke},
              {"legendText", kLegendText},
              {"yLabelGap", kYLabelGap},
              {"clipMargin", kClipMargin},
              {"ringRadius", kRingRadius},
              {"ringPen", kRingPen},
              {"ringLabelRight", kRingLabelRight},
              {"ringLabelAbove", kRingLabelAbove},
              {"requirement", StyleJson(kRequirementLevel)},
              {"selfResonance", StyleJson(kSelfResonanceLine)}}
      .dump();
}

}  // namespace vtq::web

EMSCRIPTEN_BINDINGS(vtq) {
  using vtq::web::Session;
  emscripten::class_<Session>("Session")
      .constructor<>()
      .function("start", &Session::Start)
      .function("setInput", &Session::SetInput)
      .function("click", &Session::Click)
      .function("pickCore", &Session::PickCore)
      .function("open", &Session::Open)
      .function("openMaterial", &Session::OpenMaterial)
      .function("openMas", &Session::OpenMas)
      .function("openMeasured", &Session::OpenMeasured)
      .function("setRecent", &Session::SetRecent)
      .function("openRecent", &Session::OpenRecent)
      .function("answer", &Session::Answer)
      .function("setDate", &Session::SetDate)
      .function("results", &Session::Results)
      .function("tableDblClick", &Session::TableDblClick)
      .function("follow", &Session::Follow)
      .function("savePlot", &Session::SavePlot)
      .function("setEmissions", &Session::SetEmissions)
      .function("setLibrary", &Session::SetLibrary)
      .function("pickRing", &Session::PickRing)
      .function("setSafety", &Session::SetSafety)
      .function("setTemperature", &Session::SetTemperature)
      .function("link", &Session::Link)
      .function("openLink", &Session::OpenLink)
      .function("view", &Session::View);
  emscripten::function("plotFrame", &vtq::web::PlotFrameJson);
  emscripten::function("layout", &vtq::web::Layout);
}
