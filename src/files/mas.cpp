#include "files/mas.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <numbers>
#include <optional>

#include "engine/catalogue.h"
#include "files/user_file.h"

namespace vtq::mas {
namespace {

using Json = nlohmann::ordered_json;

// The true pi of the physics in the exchanged document, not the design formulas' 3.14.
constexpr double kPi = std::numbers::pi;
constexpr double kMetresPerInch = 0.0254;
// How the design's requirement is stated: our own documents carry it in their name, so a
// design read back is the one written; a document without it states an impedance.
constexpr std::string_view kInductanceName = "Common-mode choke, inductance requirement";
constexpr std::string_view kVoltageName = "Common-mode choke, line voltage requirement";
constexpr std::string_view kImpedanceName = "Common-mode choke, impedance requirement";
constexpr const char* kWindings[] = {"Line 1", "Line 2"};

Json Nominal(double value) {
  return {{"nominal", value}};
}

Json Sinusoid(double rms) {
  return {
      {"processed", {{"label", "sinusoidal"}, {"offset", 0}, {"peak", rms * std::sqrt(2.0)}, {"rms", rms}}}};
}

Json Result(std::string_view method) {
  return {{"origin", "simulation"}, {"methodUsed", method}};
}

// An input text the window's checks accepted reads as its number; the cutoff frequency of
// an inductance design is never checked, so the design state's copy stands in.
double InputValue(const std::string& text, double fallback) {
  return num::ParseStrict(text).value_or(fallback);
}

// What the input boxes asked for, read as the design took it.
struct Asked {
  double current, frequency, main;  // A, Hz, and the main box in its mode's unit
};

// The requirements: the inductance per winding, the impedance at the cutoff frequency and,
// for a line-voltage design, the line itself; the operating point at the rated current.
Json Inputs(const DesignWindow& w, const Asked& a) {
  const DesignState& s = w.state;
  const InputControls& in = w.inputs;
  // The requirement in each of the forms the format has room for: the inductance per
  // winding, the impedance at the cutoff frequency, the line voltage.
  const double required = double{s.LIProduct} / s.CurrentValue / 1000;  // H
  double impedance = 0;
  std::string_view name;
  switch (in.Mode) {
    case DesignModeOption::Inductance:
      name = kInductanceName;
      impedance = 2 * kPi * a.frequency * a.main / 1000;
      break;
    case DesignModeOption::Impedance:
      name = kImpedanceName;
      impedance = a.main;
      break;
    case DesignModeOption::Voltage:
      name = kVoltageName;
      impedance = s.ImpedanceValue;
      break;
  }
  const double inductance = (in.Mode == DesignModeOption::Inductance ? a.main / 1000 : required);
  const Json minimumImpedance =
      Json::array({{{"frequency", a.frequency}, {"impedance", {{"magnitude", impedance}}}}});

  // What each winding drops at the rated line current and the line frequency: the load
  // current flows through the copper and the differential (leakage) inductance alone, its
  // two windings' fluxes cancelling in the ferrite. The line voltage is not across it.
  const double across = a.current * std::hypot(double{s.DCResistance},
                                               2 * kPi * kLineFrequency * double{s.DiffInductance} * 1e-6);
  Json excitations = Json::array();
  for (const char* winding : kWindings) {
    excitations.push_back({{"name", winding},
                           {"frequency", kLineFrequency},
                           {"current", Sinusoid(a.current)},
                           {"voltage", Sinusoid(across)}});
  }
  Json inputs = {{"designRequirements",
                  {{"name", name},
                   {"topology", "commonModeChoke"},
                   {"magnetizingInductance", {{"minimum", inductance}}},
                   {"turnsRatios", Json::array({Nominal(1)})},
                   {"minimumImpedance", minimumImpedance}}},
                 {"operatingPoints", Json::array({{{"name", "Rated line current"},
                                                   {"conditions", {{"ambientTemperature", kAmbient}}},
                                                   {"excitationsPerWinding", excitations}}})}};
  // The line's own description needs its voltage, which only a line-voltage design states:
  // an impedance times the current is no line voltage.
  if (in.Mode == DesignModeOption::Voltage) {
    inputs["converterInformation"] = {{"supportedTopologies",
                                       {{"commonModeChoke",
                                         {{"operatingVoltage", Nominal(a.main)},
                                          {"operatingCurrent", a.current},
                                          {"lineFrequency", kLineFrequency},
                                          {"minimumImpedance", minimumImpedance},
                                          {"ambientTemperature", kAmbient}}}}}};
  }
  return inputs;
}

// The choke as built: the toroid (its part number, material, shape and stack) and the two
// identical windings of one round copper wire.
Json Magnetic(const DesignWindow& w, const CoreEntry& core, double turns) {
  const DesignState& s = w.state;
  const std::string gauge = num::IntegerText(s.WireGauge);
  const Json wire = {{"type", "round"},
                     {"name", "AWG " + gauge},
                     {"standard", "NEMA MW 1000 C"},
                     {"standardName", gauge + " AWG"},
                     {"material", "copper"},
                     {"conductingDiameter", Nominal(double{s.WireDiameter} * kMetresPerInch)}};
  Json windings = Json::array();
  const char* sides[] = {"primary", "secondary"};
  for (int i = 0; i < 2; ++i) {
    windings.push_back({{"name", kWindings[i]},
                        {"numberTurns", static_cast<long>(turns)},
                        {"numberParallels", 1},
                        {"isolationSide", sides[i]},
                        {"wire", wire}});
  }
  const Json shape = {{"type", "custom"},
                      {"family", "t"},
                      {"name", std::string(core.CoreNumber)},
                      {"dimensions",
                       {{"A", Nominal(core.OD * kMetresPerInch)},
                        {"B", Nominal(core.ID * kMetresPerInch)},
                        {"C", Nominal(core.HT * kMetresPerInch)}}}};
  return {{"core",
           {{"name", w.outputs.txtPN},
            {"functionalDescription",
             {{"type", "toroidal"},
              {"material", s.MaterialLetter},
              {"shape", shape},
              {"gapping", Json::array()},
              {"numberStacks", s.StackCount}}}}},
          {"coil", {{"bobbin", "None"}, {"functionalDescription", windings}}}};
}

// What the design computed, each with the method it was computed by: the inductances, the
// copper losses and resistance at the rated current, the winding's temperature.
Json Outputs(const DesignState& s, double current, double turns) {
  const double reached = WindingInductance(s);         // H
  const double resistance = s.DCResistance;            // ohms
  const double loss = current * current * resistance;  // W per winding
  Json perWinding = Json::array();
  Json matrix = Json::object();
  for (const char* winding : kWindings) {
    perWinding.push_back({{"name", winding}, {"ohmicLosses", {{"origin", "simulation"}, {"losses", loss}}}});
    matrix[winding] = {{winding, Nominal(resistance)}};
  }
  Json windingLosses = Result("DC resistance of the wire length at 20 degrees C");
  windingLosses["windingLosses"] = 2 * loss;
  windingLosses["windingLossesPerWinding"] = perWinding;
  windingLosses["resistanceMatrix"] = Json::array({{{"frequency", 0}, {"magnitude", matrix}}});
  Json magnetizing = Result("AL value times turns squared");
  magnetizing["magnetizingInductance"] = Nominal(reached);
  magnetizing["coreReluctance"] = turns * turns / reached;  // per henry
  Json leakage = Result("leakage through the core window");
  leakage["leakageInductancePerWinding"] = Json::array({Nominal(double{s.DiffInductance} * 1e-6)});
  Json temperature = Result("copper loss per outer surface, (mW/cm2)^0.833");
  temperature["maximumTemperature"] = kAmbient + double{s.TempRise};
  return {{"inductance", {{"magnetizingInductance", magnetizing}, {"leakageInductance", leakage}}},
          {"windingLosses", windingLosses},
          {"temperature", temperature}};
}

}  // namespace

Written WriteDesign(const DesignWindow& w) {
  const DesignState& s = w.state;
  const InputControls& in = w.inputs;
  const CoreEntry* core = s.CoreRow >= 1 && s.CoreRow <= kCoreCount ? &CoreAt(s.CoreRow) : nullptr;
  const std::optional<double> turns = num::ParseStrict(w.outputs.Turns);
  // A calculation that stops early (no core large enough, a core not made in the material)
  // leaves the earlier design's results in the boxes: those are not this design's.
  const std::optional<double> al = num::ParseStrict(w.outputs.AL);
  if (core == nullptr || !turns || *turns <= 0 || !al || *al <= 0 || s.InductanceValue <= 0 ||
      s.DCResistance <= 0 || w.outcome != DesignOutcome::Complete) {
    return {{}, "the design reached no winding to write"};
  }
  const Asked asked{InputValue(in.Current, s.CurrentValue), InputValue(in.SecondInput, s.CutoffFrequency),
                    InputValue(in.MainInput, s.MainValue)};
  const Json doc = {{"inputs", Inputs(w, asked)},
                    {"magnetic", Magnetic(w, *core, *turns)},
                    {"outputs", Json::array({Outputs(s, asked.current, *turns)})}};
  return {doc.dump(2) + "\n", {}};
}

Requirements ReadRequirements(std::string_view text) {
  Requirements r;
  // Read into sorted maps: only looked up by path, and an object of many keys takes each
  // key in log time, where the insertion-ordered document compares it with every one before.
  using ReadJson = nlohmann::json;
  ReadJson doc;
  try {
    doc = ReadJson::parse(text);
  } catch (const ReadJson::parse_error& e) {
    r.problem = "it is not JSON (line " + std::to_string(files::LineOfOffset(text, e.byte - 1)) + ")";
    return r;
  } catch (const ReadJson::exception&) {  // a number beyond a double's range
    r.problem = "it is not JSON (a number beyond range)";
    return r;
  }
  // The value at a path of keys and indexes, if each step is there and it is a number.
  auto number = [&](std::initializer_list<std::string> paths) -> std::optional<double> {
    for (const auto& path : paths) {
      const ReadJson::json_pointer p(path);
      if (doc.contains(p) && doc.at(p).is_number()) return doc.at(p).get<double>();
    }
    return std::nullopt;
  };
  const std::string cmc = "/inputs/converterInformation/supportedTopologies/commonModeChoke";
  const std::string req = "/inputs/designRequirements";
  const std::optional<double> current = number(
      {cmc + "/operatingCurrent", "/inputs/operatingPoints/0/excitationsPerWinding/0/current/processed/rms"});
  if (!current) {
    r.problem = "it states no operating current";
    return r;
  }
  const std::optional<double> frequency =
      number({req + "/minimumImpedance/0/frequency", cmc + "/minimumImpedance/0/frequency"});
  const std::optional<double> impedance = number(
      {req + "/minimumImpedance/0/impedance/magnitude", cmc + "/minimumImpedance/0/impedance/magnitude"});
  const std::optional<double> inductance =
      number({req + "/magnetizingInductance/minimum", req + "/magnetizingInductance/nominal"});
  const std::optional<double> voltage = number({cmc + "/operatingVoltage/nominal"});
  const ReadJson::json_pointer namePath(req + "/name");
  const std::string name = doc.contains(namePath) && doc.at(namePath).is_string() ? doc.at(namePath) : "";

  std::optional<double> main;
  if (name == kInductanceName) {
    r.mode = DesignModeOption::Inductance;
    if (inductance) main = *inductance * 1000;  // mH
  } else if (name == kVoltageName) {
    r.mode = DesignModeOption::Voltage;
    main = voltage;
  } else {
    r.mode = DesignModeOption::Impedance;
    main = impedance;
  }
  if (!main || (r.mode != DesignModeOption::Inductance && !frequency)) {
    r.problem = "it states no minimum impedance at a frequency";
    if (r.mode == DesignModeOption::Inductance) r.problem = "it states no magnetizing inductance";
    if (r.mode == DesignModeOption::Voltage) r.problem = "it states no operating voltage";
    return r;
  }
  r.main = num::DoubleText(*main);
  r.current = num::DoubleText(*current);
  r.frequency = frequency ? num::DoubleText(*frequency) : "10000";
  const ReadJson::json_pointer material("/magnetic/core/functionalDescription/material");
  if (doc.contains(material) && doc.at(material).is_string()) {
    r.material = static_cast<Integer>(MaterialOfLetter(doc.at(material).get<std::string>()));
  }
  return r;
}

}  // namespace vtq::mas
