#include "ui/model/design_link.h"

#include <algorithm>
#include <optional>

#include "engine/catalogue.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

constexpr std::string_view kUnitWords[] = {"in", "mm"};

// The emission case's fields, named as vtq-cli emissions names its options.
constexpr std::pair<std::string_view, std::string EmissionsEntry::*> kEmissionFields[] = {
    {"standard", &EmissionsEntry::standard},
    {"lisn", &EmissionsEntry::network},
    {"swing", &EmissionsEntry::swing},
    {"fsw", &EmissionsEntry::frequency},
    {"duty", &EmissionsEntry::duty},
    {"rise", &EmissionsEntry::rise},
    {"cp", &EmissionsEntry::parasitic},
    {"ripple", &EmissionsEntry::ripple},
    {"ripple-shape", &EmissionsEntry::rippleShape},
    {"cy", &EmissionsEntry::cy},
    {"cx", &EmissionsEntry::cx},
    {"margin", &EmissionsEntry::margin}};

// The words a field of a list takes; none for a field typed freely.
std::vector<std::string> WordsOf(std::string_view key) {
  if (key == "standard") {
    std::vector<std::string> words;
    for (const EmissionStandard& s : EmissionStandards()) words.emplace_back(s.key);
    return words;
  }
  if (key == "lisn") return {"cispr16", "50ohm"};
  if (key == "ripple-shape") return {"trapezoid", "triangle"};
  return {};
}

std::string MaterialLetterOf(int material) {
  return std::string(1, Materials[static_cast<std::size_t>(material)].Letter);
}

// A catalogue row as a link writes it, 1 to 24; none for any other text.
std::optional<int> CoreRowOf(std::string_view text) {
  int row = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || row > kCoreCount) return std::nullopt;
    row = row * 10 + (c - '0');
  }
  if (row < 1 || row > kCoreCount) return std::nullopt;
  return row;
}

// The input boxes' fields.
constexpr std::pair<std::string_view, std::string DesignEntry::*> kDesignBoxes[] = {
    {"main", &DesignEntry::main},
    {"current", &DesignEntry::current},
    {"frequency", &DesignEntry::frequency},
    {"density", &DesignEntry::density}};

// One of the design's fields taken into `design`; false when its text is none the window
// offers (the design keeps what it had).
bool TakeDesignField(DesignEntry& design, std::string_view key, const std::string& text) {
  for (const auto& [name, box] : kDesignBoxes) {
    if (key == name) {
      design.*box = text;  // as typed: the calculation asks again about a text that is no number
      return true;
    }
  }
  if (key == "mode") {
    for (const ModeWord& m : kModeWords) {
      if (m.word == text) {
        design.mode = m.mode;
        return true;
      }
    }
    return false;
  }
  if (key == "material") {
    const int material = text.size() == 1 ? MaterialOfLetter(text) : 0;
    if (material != 0) design.material = material;
    return material != 0;
  }
  if (key == "units") {
    const bool known = text == kUnitWords[0] || text == kUnitWords[1];
    if (known) design.english = text == kUnitWords[0];
    return known;
  }
  const std::optional<int> row = CoreRowOf(text);  // the "core" field
  if (row) design.core = *row;
  return row.has_value();
}

constexpr std::string_view kDesignFields[] = {"mode",    "main",     "current", "frequency",
                                              "density", "material", "units",   "core"};

}  // namespace

LinkFields DesignLinkOf(const WindowModel& model, bool emissions) {
  const InputControls& in = model.window.inputs;
  LinkFields fields;
  for (const ModeWord& m : kModeWords) {
    if (m.mode == in.Mode) fields.emplace_back("mode", m.word);
  }
  fields.emplace_back("main", in.MainInput);
  fields.emplace_back("current", in.Current);
  if (in.Mode != DesignModeOption::Inductance) fields.emplace_back("frequency", in.SecondInput);
  fields.emplace_back("density", in.txtCD);
  fields.emplace_back("material", MaterialLetterOf(in.Material));
  fields.emplace_back("units", kUnitWords[in.English ? 0 : 1]);
  const Integer core = model.window.state.DesignCore;
  if (core >= 1 && core <= kCoreCount) fields.emplace_back("core", std::to_string(core));
  if (!emissions) return fields;
  for (const auto& [key, text] : kEmissionFields) fields.emplace_back(key, model.emissionsEntry.*text);
  return fields;
}

std::string OpenDesignLink(WindowModel& model, const LinkFields& fields) {
  const InputControls& in = model.window.inputs;
  DesignEntry design{in.Mode,  in.MainInput, in.Current, in.SecondInput,
                     in.txtCD, in.Material,  in.English, std::nullopt};
  EmissionsEntry emissions = model.emissionsEntry;
  bool anyDesign = false, anyEmission = false;
  std::string refused;
  const auto refuse = [&](const std::string& key, const std::string& text) {
    refused += (refused.empty() ? "" : ", ") + key + " '" + text + "'";
  };
  for (const auto& field : fields) {
    const std::string &key = field.first, &text = field.second;
    const bool designField =
        std::find(std::begin(kDesignFields), std::end(kDesignFields), key) != std::end(kDesignFields);
    const auto* emission = std::find_if(std::begin(kEmissionFields), std::end(kEmissionFields),
                                        [&key](const auto& f) { return f.first == key; });
    if (designField) {
      const bool taken = TakeDesignField(design, key, text);
      anyDesign = anyDesign || taken;
      if (!taken) refuse(key, text);
    } else if (emission != std::end(kEmissionFields)) {
      const std::vector<std::string> words = WordsOf(key);
      if (words.empty() || std::find(words.begin(), words.end(), text) != words.end()) {
        emissions.*emission->second = text;
        anyEmission = true;
      } else {
        refuse(key, text);
      }
    }  // any other field is the page's own (a test's date)
  }
  if (anyDesign) model.ApplyDesign(design);
  if (anyEmission) {
    model.Emissions_Change(emissions);
    model.mnuEmissions_Click();
  }
  return refused.empty() ? "" : "The link's " + refused + " left out: not one the window offers";
}

}  // namespace vtq
