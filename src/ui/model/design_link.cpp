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
    bool known = true;
    if (key == "mode") {
      const auto* m = std::find_if(std::begin(kModeWords), std::end(kModeWords),
                                   [&](const ModeWord& w) { return w.word == text; });
      if (m == std::end(kModeWords))
        known = false;
      else
        design.mode = m->mode;
    } else if (key == "main") {
      design.main = text;
    } else if (key == "current") {
      design.current = text;
    } else if (key == "frequency") {
      design.frequency = text;
    } else if (key == "density") {
      design.density = text;
    } else if (key == "material") {
      const int material = text.size() == 1 ? MaterialOfLetter(text) : 0;
      if (material == 0)
        known = false;
      else
        design.material = material;
    } else if (key == "units") {
      if (text != kUnitWords[0] && text != kUnitWords[1])
        known = false;
      else
        design.english = text == kUnitWords[0];
    } else if (key == "core") {
      int row = 0;
      for (char c : text) row = (c >= '0' && c <= '9' && row < 100) ? row * 10 + (c - '0') : 1000;
      if (text.empty() || row < 1 || row > kCoreCount)
        known = false;
      else
        design.core = row;
    } else {
      const auto* emission = std::find_if(std::begin(kEmissionFields), std::end(kEmissionFields),
                                          [&](const auto& f) { return f.first == key; });
      if (emission == std::end(kEmissionFields)) continue;  // the page's own (a test's date)
      const std::vector<std::string> words = WordsOf(key);
      if (!words.empty() && std::find(words.begin(), words.end(), text) == words.end()) {
        refuse(key, text);
        continue;
      }
      emissions.*emission->second = text;
      anyEmission = true;
      continue;
    }
    if (known)
      anyDesign = true;
    else
      refuse(key, text);
  }
  if (anyDesign) model.ApplyDesign(design);
  if (anyEmission) {
    model.Emissions_Change(emissions);
    model.mnuEmissions_Click();
  }
  return refused.empty() ? "" : "The link's " + refused + " left out: not one the window offers";
}

}  // namespace vtq
