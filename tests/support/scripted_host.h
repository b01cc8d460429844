// A user who answers the program's modal exchanges from a script and records each of
// them in order, so a test can check what the user would have seen and when: input
// prompts, message boxes, file dialogs, the printer and its PDF offer.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/model/window_model.h"

namespace vtq::test {

struct Shown {
  std::string title, text;  // text with its lines joined by "\r"
};
struct Prompt {
  std::string title, text, defaultAnswer;
};
struct FileDialogShown {
  FileDialogPurpose purpose;
  FileDialogSettings settings;
  Integer loading;  // the Loading flag of `state` at that moment, -1 without one
};

class ScriptedHost : public WindowHost {
 public:
  // Everything that happened, in order: "show", "beep", "msgbox <title>", "input <title>",
  // "focus <control>", "help <page>", "unload", "file", "print", "offer", "pdf <path>",
  // "table" / "plot" (shown in front) or "table follows" / "plot follows".
  std::vector<std::string> events;
  std::vector<Shown> messages;      // message boxes not yet taken by the test
  std::vector<Prompt> prompts;      // every input prompt shown
  std::deque<std::string> answers;  // to the next prompts; none left: `answer`, else the default
  std::function<std::string(const Prompt&)> answer;
  std::function<void()> onShow;  // a widget test shows the real window here
  bool helpReadable = true;

  std::vector<std::string> recent;  // the recent designs as a host remembers them
  std::deque<std::string> paths;    // answers to the next file dialogs; none left: cancelled
  std::vector<FileDialogShown> dialogs;
  const DesignState* state = nullptr;

  bool canPrint = false;
  std::vector<reports::Document> printed;
  std::vector<std::string> offers;  // texts of the PDF offers after a failed print
  bool acceptOffer = false;

  std::string InputBox(std::string_view text, std::string_view title, std::string_view def) override {
    events.push_back("input " + std::string(title));
    prompts.push_back({std::string(title), std::string(text), std::string(def)});
    if (answers.empty()) return answer ? answer(prompts.back()) : std::string(def);
    std::string next = std::move(answers.front());
    answers.pop_front();
    return next;
  }
  int MsgBox(std::string_view text, std::string_view title) override {
    events.push_back("msgbox " + std::string(title));
    messages.push_back({std::string(title), std::string(text)});
    return 1;
  }
  void SetFocus(std::string_view control) override { events.push_back("focus " + std::string(control)); }
  void ShowWindow() override {
    events.push_back("show");
    if (onShow) onShow();
  }
  void Beep() override { events.push_back("beep"); }
  void Unload() override { events.push_back("unload"); }
  bool ShowHelp(std::string_view page) override {
    events.push_back("help " + std::string(page));
    return helpReadable;
  }
  std::optional<std::string> ChooseFile(FileDialogPurpose purpose,
                                        const FileDialogSettings& settings) override {
    events.emplace_back("file");
    dialogs.push_back({purpose, settings, state ? state->Loading : Integer{-1}});
    if (paths.empty()) return std::nullopt;
    std::string path = paths.front();
    paths.pop_front();
    return path;
  }
  std::vector<std::string> RecentDesigns() const override { return recent; }
  void SetRecentDesigns(const std::vector<std::string>& list) override { recent = list; }
  bool CanPrint() const override { return canPrint; }
  PrintResult PrintOnDefaultPrinter(const reports::Document& doc) override {
    events.emplace_back("print");
    printed.push_back(doc);
    return {"Office", {}};
  }
  bool OfferPdf(std::string_view text, std::string_view) override {
    events.emplace_back("offer");
    offers.emplace_back(text);
    return acceptOffer;
  }
  std::string WritePdf(const reports::Document&, const std::string& path) override {
    events.push_back("pdf " + path);
    return "";
  }
  reports::ReportDate Today() override { return {2026, 12, 4}; }
  void ShowCoreTable(const CoreTableView&, bool raise) override {
    events.emplace_back(raise ? "table" : "table follows");
  }
  void ShowImpedance(const ImpedanceView&, bool raise) override {
    events.emplace_back(raise ? "plot" : "plot follows");
  }
  void ShowLibrary(const LibraryWindowView&, bool raise) override {
    events.emplace_back(raise ? "library" : "library follows");
  }
  void ShowSafety(const SafetyWindowView&, bool raise) override {
    events.emplace_back(raise ? "safety" : "safety follows");
  }
  // Pictures drawn when `canDraw`: each one's panel titles and its text.
  bool canDraw = false;
  std::vector<std::pair<std::vector<std::string>, std::string>> pictures;
  std::string WritePlotPicture(const PlotPicture& picture, const std::string& path,
                               PictureFormat format) override {
    if (!canDraw) return WindowHost::WritePlotPicture(picture, path, format);
    std::vector<std::string> titles;
    for (const Plot* p : picture.panels) titles.push_back(p->title);
    pictures.emplace_back(titles, picture.text);
    return "";
  }

  // The titles of the message boxes shown since the last call; the test has seen them.
  std::vector<std::string> TakeMessageTitles() {
    std::vector<std::string> titles;
    for (const auto& m : messages) titles.push_back(m.title);
    messages.clear();
    return titles;
  }
  // Forgets what start-up showed.
  void Clear() {
    events.clear();
    messages.clear();
    prompts.clear();
  }
};

}  // namespace vtq::test
