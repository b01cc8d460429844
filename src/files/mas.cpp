#include "files/mas.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <numbers>
#include <optional>
#include <span>
#include <tuple>
#include <vector>

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
// A ring's windings: two lines, three phases, or three phases and their neutral.
constexpr const char* kRingWindings[] = {"Line 1", "Line 2", "Line 3", "Neutral"};
constexpr const char* kSides[] = {"primary", "secondary", "tertiary", "quaternary"};
// The insulation's entries as typed and as the format names them.
struct Named {
  std::string_view typed, named;
};
constexpr Named kCti[] = {{"I", "groupI"}, {"II", "groupII"}, {"IIIa", "groupIIIA"}, {"IIIb", "groupIIIB"}};
constexpr Named kPollution[] = {{"1", "PD1"}, {"2", "PD2"}, {"3", "PD3"}, {"4", "PD4"}};
constexpr Named kCategories[] = {{"I", "I"}, {"II", "II"}, {"III", "III"}, {"IV", "IV"}};
// No ring is a metre across: a larger length is a unit slip or a hostile file, and the
// figures of the design would overflow long before.
constexpr double kLargestRing = 1;  // m
constexpr int kMostTurns = 100000;

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

// The wire of every winding: round copper of the gauge, its copper and its insulated diameter.
Json Wire(int gauge, double bare, std::optional<double> insulated) {
  const std::string text = num::IntegerText(gauge);
  Json wire = {{"type", "round"},
               {"name", "AWG " + text},
               {"standard", "NEMA MW 1000 C"},
               {"standardName", text + " AWG"},
               {"material", "copper"},
               {"conductingDiameter", Nominal(bare)}};
  if (insulated) wire["outerDiameter"] = Nominal(*insulated);
  return wire;
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
Asked AskedOf(const DesignWindow& w) {
  const DesignState& s = w.state;
  const InputControls& in = w.inputs;
  return {InputValue(in.Current, s.CurrentValue), InputValue(in.SecondInput, s.CutoffFrequency),
          InputValue(in.MainInput, s.MainValue)};
}

// A winding at the rated line current and the line frequency: its name, its current and the
// voltage across it, rms.
struct Line {
  std::string name;
  double current, across;
};

// The requirements: the inductance per winding, the impedance at the cutoff frequency and,
// for a line-voltage design, the line itself; the operating point at the rated current.
Json Inputs(const DesignWindow& w, const Asked& a, const std::vector<Line>& lines) {
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

  Json excitations = Json::array();
  Json ratios = Json::array();
  for (const Line& line : lines) {
    excitations.push_back({{"name", line.name},
                           {"frequency", kLineFrequency},
                           {"current", Sinusoid(line.current)},
                           {"voltage", Sinusoid(line.across)}});
    if (ratios.size() + 1 < lines.size()) ratios.push_back(Nominal(1));
  }
  Json inputs = {{"designRequirements",
                  {{"name", name},
                   {"topology", "commonModeChoke"},
                   {"magnetizingInductance", {{"minimum", inductance}}},
                   {"turnsRatios", ratios},
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
  const Json wire = Wire(s.WireGauge, double{s.WireDiameter} * kMetresPerInch, std::nullopt);
  Json windings = Json::array();
  for (int i = 0; i < 2; ++i) {
    windings.push_back({{"name", kWindings[i]},
                        {"numberTurns", static_cast<long>(turns)},
                        {"numberParallels", 1},
                        {"isolationSide", kSides[i]},
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

// What a design computed of its windings, each figure with the method it came from.
struct Figures {
  double inductance, turns, resistance, leakage, ambient, rise;  // H, -, ohm, H, C, C
  std::string_view resistanceMethod, leakageMethod;
};

// What the design computed, each with the method it was computed by: the inductances, the
// copper losses and resistance at the rated current, the winding's temperature.
Json Outputs(const Figures& f, const std::vector<Line>& lines) {
  Json perWinding = Json::array();
  Json matrix = Json::object();
  double losses = 0;  // W
  Json leakages = Json::array();
  for (const Line& line : lines) {
    const double loss = line.current * line.current * f.resistance;
    losses += loss;
    perWinding.push_back(
        {{"name", line.name}, {"ohmicLosses", {{"origin", "simulation"}, {"losses", loss}}}});
    matrix[line.name] = {{line.name, Nominal(f.resistance)}};
    // From the first winding to each of the others.
    if (leakages.size() + 1 < lines.size()) leakages.push_back(Nominal(f.leakage));
  }
  Json windingLosses = Result(f.resistanceMethod);
  windingLosses["windingLosses"] = losses;
  windingLosses["windingLossesPerWinding"] = perWinding;
  windingLosses["resistanceMatrix"] = Json::array({{{"frequency", 0}, {"magnitude", matrix}}});
  Json magnetizing = Result("AL value times turns squared");
  magnetizing["magnetizingInductance"] = Nominal(f.inductance);
  magnetizing["coreReluctance"] = f.turns * f.turns / f.inductance;  // per henry
  Json leakage = Result(f.leakageMethod);
  leakage["leakageInductancePerWinding"] = leakages;
  Json temperature = Result("copper loss per outer surface, (mW/cm2)^0.833");
  temperature["maximumTemperature"] = f.ambient + f.rise;
  return {{"inductance", {{"magnetizingInductance", magnetizing}, {"leakageInductance", leakage}}},
          {"windingLosses", windingLosses},
          {"temperature", temperature}};
}

// The document as text, or why it cannot be read as JSON.
template <typename Doc>
std::optional<Doc> Parse(std::string_view text, std::string& problem) {
  try {
    return Doc::parse(text);
  } catch (const typename Doc::parse_error& e) {
    problem = "it is not JSON (line " + std::to_string(files::LineOfOffset(text, e.byte - 1)) + ")";
  } catch (const typename Doc::exception&) {  // a number beyond a double's range
    problem = "it is not JSON (a number beyond range)";
  }
  return std::nullopt;
}

}  // namespace

Written WriteDesign(const DesignWindow& w) {
  const DesignState& s = w.state;
  const CoreEntry* core = s.CoreRow >= 1 && s.CoreRow <= kCoreCount ? &CoreAt(s.CoreRow) : nullptr;
  const std::optional<double> turns = num::ParseStrict(w.outputs.Turns);
  // A calculation that stops early (no core large enough, a core not made in the material)
  // leaves the earlier design's results in the boxes: those are not this design's.
  const std::optional<double> al = num::ParseStrict(w.outputs.AL);
  if (core == nullptr || !turns || *turns <= 0 || !al || *al <= 0 || s.InductanceValue <= 0 ||
      s.DCResistance <= 0 || w.outcome != DesignOutcome::Complete) {
    return {{}, "the design reached no winding to write"};
  }
  const Asked asked = AskedOf(w);
  // What each winding drops at the rated line current and the line frequency: the load
  // current flows through the copper and the differential (leakage) inductance alone, its
  // two windings' fluxes cancelling in the ferrite. The line voltage is not across it.
  const double across =
      asked.current *
      std::hypot(double{s.DCResistance}, 2 * kPi * kLineFrequency * double{s.DiffInductance} * 1e-6);
  std::vector<Line> lines;
  for (const char* winding : kWindings) lines.push_back({winding, asked.current, across});
  const Figures figures{WindingInductance(s),
                        *turns,
                        double{s.DCResistance},
                        double{s.DiffInductance} * 1e-6,
                        kAmbient,
                        double{s.TempRise},
                        "DC resistance of the wire length at 20 degrees C",
                        "leakage through the core window"};
  const Json doc = {{"inputs", Inputs(w, asked, lines)},
                    {"magnetic", Magnetic(w, *core, *turns)},
                    {"outputs", Json::array({Outputs(figures, lines)})}};
  return {doc.dump(2) + "\n", {}};
}

Requirements ReadRequirements(std::string_view text) {
  Requirements r;
  // Read into sorted maps: only looked up by path, and an object of many keys takes each
  // key in log time, where the insertion-ordered document compares it with every one before.
  using ReadJson = nlohmann::json;
  const std::optional<ReadJson> parsed = Parse<ReadJson>(text, r.problem);
  if (!parsed) return r;
  const ReadJson& doc = *parsed;
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

namespace {

std::string_view NameOf(std::span<const Named> table, std::string_view typed) {
  for (const Named& n : table) {
    if (n.typed == typed) return n.named;
  }
  return {};
}

std::optional<std::string> TypedOf(std::span<const Named> table, std::string_view named) {
  for (const Named& n : table) {
    if (n.named == named) return std::string(n.typed);
  }
  return std::nullopt;
}

Json RingCore(const RingChoke& c) {
  Json dimensions = {{"A", Nominal(c.od)}, {"B", Nominal(c.id)}, {"C", Nominal(c.height)}};
  // The standard toroid has sharp edges; a chamfer is the ring's own, under its own name.
  if (c.chamfer > 0) dimensions["chamfer"] = Nominal(c.chamfer);
  const std::string size = "T " + num::Printed(c.od * 1e3, 4) + "/" + num::Printed(c.id * 1e3, 4) + "/" +
                           num::Printed(c.height * 1e3, 4);
  const Json shape = {{"type", c.shape.empty() ? "custom" : "standard"},
                      {"family", "t"},
                      {"name", c.shape.empty() ? size : c.shape},
                      {"dimensions", dimensions}};
  Json core = {{"name", (c.part.empty() ? size : c.part) + " - " + c.grade}};
  if (!c.part.empty()) {
    core["manufacturerInfo"] = {{"name", c.maker}, {"reference", c.part}};
  } else if (!c.gradeMaker.empty()) {
    core["manufacturerInfo"] = {{"name", c.gradeMaker}};
  }
  core["functionalDescription"] = {{"type", "toroidal"},
                                   {"material", c.grade},
                                   {"shape", shape},
                                   {"gapping", Json::array()},
                                   {"numberStacks", 1}};
  return core;
}

}  // namespace

Written WriteRingDesign(const DesignWindow& w, const RingChoke& c) {
  if (c.turns <= 0 || c.currents.size() < 2 || c.currents.size() > 4 || !(c.inductance > 0)) {
    return {{}, "the ring's design reached no winding to write"};
  }
  std::vector<Line> lines;
  const double reactance = 2 * kPi * kLineFrequency * c.leakage;  // ohm
  Json windings = Json::array();
  const Json wire = Wire(c.gauge, c.bareDiameter, c.insulatedDiameter);
  for (std::size_t k = 0; k < c.currents.size(); ++k) {
    const std::string name = kRingWindings[k];
    lines.push_back({name, c.currents[k], c.currents[k] * std::hypot(c.resistance, reactance)});
    windings.push_back({{"name", name},
                        {"numberTurns", c.turns},
                        {"numberParallels", 1},
                        {"isolationSide", kSides[k]},
                        {"wire", wire}});
  }
  Json inputs = Inputs(w, AskedOf(w), lines);
  Json& required = inputs["designRequirements"];
  if (c.requiredInductance <= 0) {
    // Turns given: the document asks no inductance, it states the one the turns give.
    required["name"] = kInductanceName;
    required["magnetizingInductance"] = Nominal(c.inductance);
    required.erase("minimumImpedance");
    inputs.erase("converterInformation");
  } else {
    required["magnetizingInductance"] = {{"minimum", c.requiredInductance}};
  }
  if (c.insulation) {
    const RingInsulation& i = *c.insulation;
    required["insulation"] = {{"cti", NameOf(kCti, i.group)},
                              {"pollutionDegree", NameOf(kPollution, i.pollution)},
                              {"overvoltageCategory", NameOf(kCategories, i.category)},
                              {"insulationType", "basic"},
                              {"mainSupplyVoltage", Nominal(i.mainsVoltage)},
                              {"standards", Json::array({"IEC 60664-1"})}};
  }
  inputs["operatingPoints"][0]["conditions"]["ambientTemperature"] = c.ambient;
  const Figures figures{c.inductance,
                        static_cast<double>(c.turns),
                        c.resistance,
                        c.leakage,
                        c.ambient,
                        c.rise,
                        "DC resistance of the wire length at the winding's temperature",
                        "leakage through the core window, scaled to the winding's sector"};
  const Json doc = {
      {"inputs", inputs},
      {"magnetic",
       {{"core", RingCore(c)}, {"coil", {{"bobbin", "None"}, {"functionalDescription", windings}}}}},
      {"outputs", Json::array({Outputs(figures, lines)})}};
  return {doc.dump(2) + "\n", {}};
}

RingRead ReadRing(std::string_view text) {
  RingRead r;
  using ReadJson = nlohmann::json;
  const std::optional<ReadJson> parsed = Parse<ReadJson>(text, r.problem);
  if (!parsed) return r;
  const ReadJson& doc = *parsed;
  auto at = [&](const std::string& path) -> const ReadJson* {
    const ReadJson::json_pointer p(path);
    return doc.contains(p) ? &doc.at(p) : nullptr;
  };
  auto text_at = [&](const std::string& path) -> std::string {
    const ReadJson* v = at(path);
    return v && v->is_string() ? v->get<std::string>() : std::string();
  };
  const std::string core = "/magnetic/core/functionalDescription";
  const ReadJson* material = at(core + "/material");
  std::string grade = text_at(core + "/material");
  if (material && material->is_object()) grade = text_at(core + "/material/name");
  const bool toroid = text_at(core + "/type") == "toroidal" || text_at(core + "/shape/family") == "t";
  // A document of the catalogue names one of its five materials by letter.
  if (!material || !toroid || MaterialOfLetter(grade) != 0) return r;
  r.ring = true;
  auto refuse = [&](std::string why) {
    r.problem = std::move(why);
    return r;
  };
  if (grade.empty()) return refuse("its ring names no material");
  r.grade = grade;
  r.part = text_at("/magnetic/core/manufacturerInfo/reference");

  // A length as a number or a dimension's nominal value; absent, or a refusal for one no ring has.
  for (auto [key, target, name] :
       {std::tuple{"A", &r.od, "outer diameter"}, std::tuple{"B", &r.id, "inner diameter"},
        std::tuple{"C", &r.height, "height"},
        std::tuple{"chamfer", static_cast<std::optional<double>*>(nullptr), "chamfer"}}) {
    const ReadJson* v = at(core + "/shape/dimensions/" + key);
    if (v && v->is_object() && v->contains("nominal")) v = &v->at("nominal");
    if (!v) continue;
    const double length = v->is_number() ? v->get<double>() : -1;
    const bool chamfer = target == nullptr;
    if (!(length > 0 || (chamfer && length == 0)) || !(length < kLargestRing)) {
      return refuse(std::string("its ring's ") + name + " is not a length between 0 and 1 m");
    }
    if (chamfer) {
      r.chamfer = length;
    } else {
      *target = length;
    }
  }
  if (r.od && r.id && !(*r.id < *r.od)) return refuse("its ring's inner diameter is not below the outer");

  const ReadJson* windings = at("/magnetic/coil/functionalDescription");
  if (!windings || !windings->is_array() || windings->size() < 2 || windings->size() > 4)
    return refuse("its ring has not 2, 3 or 4 windings");
  r.windings = static_cast<int>(windings->size());
  for (const ReadJson& winding : *windings) {
    const ReadJson* turns =
        winding.is_object() && winding.contains("numberTurns") ? &winding.at("numberTurns") : nullptr;
    if (!turns || !turns->is_number_integer() || turns->get<long long>() < 1 ||
        turns->get<long long>() > kMostTurns)
      return refuse("a winding of its ring has no whole number of turns from 1 to 100000");
    const int n = static_cast<int>(turns->get<long long>());
    if (r.turns != 0 && n != r.turns) return refuse("the windings of its ring have different turns");
    r.turns = n;
  }
  // "24 AWG", as the wire's standard name gives it.
  const std::string gauge = text_at("/magnetic/coil/functionalDescription/0/wire/standardName");
  if (const std::optional<double> g = num::ParseStrict(gauge.substr(0, gauge.find(' ')));
      g && *g >= 0 && *g <= 60 && *g == std::floor(*g)) {
    r.gauge = static_cast<int>(*g);
  }
  if (const ReadJson* ambient = at("/inputs/operatingPoints/0/conditions/ambientTemperature")) {
    if (!ambient->is_number() || !(ambient->get<double>() >= -60 && ambient->get<double>() <= 200))
      return refuse("its ambient temperature is not from -60 to 200 C");
    r.ambient = ambient->get<double>();
  }
  const std::string insulation = "/inputs/designRequirements/insulation";
  const ReadJson* mains = at(insulation + "/mainSupplyVoltage");
  if (mains && mains->is_object() && mains->contains("nominal")) mains = &mains->at("nominal");
  if (mains) {
    const double volts = mains->is_number() ? mains->get<double>() : -1;
    RingInsulation i;
    i.mainsVoltage = volts;
    const std::optional<std::string> group = TypedOf(kCti, text_at(insulation + "/cti"));
    const std::optional<std::string> pollution =
        TypedOf(kPollution, text_at(insulation + "/pollutionDegree"));
    const std::optional<std::string> category =
        TypedOf(kCategories, text_at(insulation + "/overvoltageCategory"));
    if (!(volts > 0 && volts <= 1e5)) return refuse("its mains supply voltage is not a voltage above zero");
    // Absent, the insulation's own defaults: what a coating of unknown tracking index gets.
    i.group = at(insulation + "/cti") ? group.value_or("") : "IIIb";
    i.pollution = at(insulation + "/pollutionDegree") ? pollution.value_or("") : "2";
    i.category = at(insulation + "/overvoltageCategory") ? category.value_or("") : "II";
    if (i.group.empty() || i.pollution.empty() || i.category.empty()) {
      return refuse(
          "its insulation's material group, pollution degree or overvoltage category is none of MAS's");
    }
    r.insulation = i;
  }
  return r;
}

}  // namespace vtq::mas
