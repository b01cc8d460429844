// The ring options of the design and analysis commands: a stocked ring or a size with a
// grade, n windings, turns already wound.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/cli.h"

namespace vtq::cli {

void AddRingOptions(CLI::App& cmd, RingArgs& a, bool materialAndTemperature) {
  cmd.add_flag(
      "--library", a.library,
      "Choose the ring from the stocked library: the smallest (or cheapest, --by price) that meets the "
      "requirement without saturating or rising above 40 C; --maker, --grade, --min-od and --max-od "
      "narrow it");
  cmd.add_option("--maker", a.filter.maker, "With --library: only this maker's rings (e.g. TDK)");
  cmd.add_option("--min-od", a.filter.minOd,
                 "With --library: smallest outer diameter, a length with its unit (e.g. 20mm)");
  cmd.add_option("--max-od", a.filter.maxOd,
                 "With --library: largest outer diameter, a length with its unit (e.g. 1.5in)");
  cmd.add_option("--by", a.by,
                 "With --library: size (the smallest ring, default) or price (the cheapest listed)")
      ->check(CLI::IsMember({"size", "price"}))
      ->default_str("size");
  cmd.add_option("--ring", a.entry.part,
                 "Design on this stocked ring (part number, as vtq-cli library lists it)");
  cmd.add_option("--toroid", a.entry.toroid,
                 "Design on a ring of this size: OD,ID,HT[,CHAMFER], lengths with units (25mm,15mm,10mm or "
                 "0.98in,0.59in,0.39in); with --grade or --material-file");
  cmd.add_option("--grade", a.entry.grade,
                 "The library grade of the --toroid ring, or with --library the grade to choose in (vtq-cli "
                 "library --grade)");
  if (materialAndTemperature) {
    cmd.add_option("--material-file", a.materialFile,
                   "With --toroid: the ring's material from a file (a MAS material entry as JSON, or CSV of "
                   "frequency_hz,mu_real,mu_imag)");
  }
  cmd.add_option(
         "--turns", a.entry.turns,
         "With --ring or --toroid: evaluate this many turns on each winding instead of the requirement")
      ->transform(DecimalWhole())
      ->check(CLI::Range(1, 100000));
  cmd.add_option(
         "--windings", a.entry.windings,
         "Windings on the ring: 2 (two lines), 3 (three-phase) or 4 (three-phase and neutral); 3 and 4 "
         "need --ring, --toroid or --library")
      ->transform(DecimalWhole())
      ->check(CLI::Range(2, 4))
      ->default_str("2");
  cmd.add_option("--gap", a.entry.gap,
                 "With --ring or --toroid: distance between neighbouring windings at the inner circumference "
                 "(1mm); default: the windings share 83.4 % of it, as on the catalogue cores");
  if (materialAndTemperature) {
    cmd.add_option("--temperature", a.entry.temperature,
                   "With --ring or --toroid: temperature around the choke, C (default 25)")
        ->transform(DecimalReal())
        ->check(CLI::Range(-60.0, 200.0));
  }
  cmd.add_option(
         "--unbalance", a.entry.unbalance,
         "With --ring or --toroid: the first winding's current above the others', 0.1 = 10 %, for the "
         "saturation check (default 0)")
      ->transform(DecimalReal())
      ->check(CLI::Range(0.0, 10.0));
}

int RingUsage(RingArgs& a, std::ostream& err) {
  if (!a.library &&
      (!a.filter.maker.empty() || !a.filter.minOd.empty() || !a.filter.maxOd.empty() || a.by != "size"))
    return Fail(err, "--maker, --min-od, --max-od and --by need --library", kExitUsage);
  if (a.library) {
    if (!a.entry.part.empty() || !a.entry.toroid.empty() || !a.materialFile.empty())
      return Fail(err, "--library chooses the ring: give no --ring, --toroid or --material-file", kExitUsage);
    a.filter.grade = a.entry.grade;
    a.entry.grade.clear();
    a.entry.library = a.filter;
    a.entry.byPrice = a.by == "price";
  }
  if (a.Wanted()) return kExitOk;
  if (a.entry.windings != 2 || a.entry.turns > 0 || !a.entry.grade.empty() || !a.entry.gap.empty() ||
      a.entry.unbalance != 0) {
    return Fail(
        err, "--windings 3 or 4, --turns, --grade, --gap and --unbalance need --ring, --toroid or --library",
        kExitUsage);
  }
  if (!a.mains.mainsVoltage.empty()) {
    return Fail(
        err,
        "--mains-voltage on design needs --ring, --toroid or --library (vtq-cli safety gives the catalogue "
        "core's insulation)",
        kExitUsage);
  }
  return kExitOk;
}

int ShowRing(const DesignOptions& options, const RingArgs& a, std::ostream& out, std::ostream& err,
             const RingOutput& output) {
  ShellHost host;
  WindowModel model(host);
  try {
    ComputeDesign(model, host, options);
  } catch (const PromptRequired& p) {
    return Fail(err, p.firstLine, kExitUsage);
  }
  if (!a.materialFile.empty()) {
    if (a.entry.toroid.empty()) return Fail(err, "--material-file goes with --toroid", kExitUsage);
    if (!a.entry.grade.empty()) return Fail(err, "give --grade or --material-file, not both", kExitUsage);
    if (const int status = UseMaterialFile(model, host, a.materialFile, err); status != kExitOk)
      return status;
  }
  return output(model, out, err);
}

int RingDone(const RingView& v, std::ostream& err, std::ostream* json) {
  if (v.status == kExitOk) return kExitOk;
  if (json && v.status != kExitUsage) PrintRing(*json, v, true);
  return Fail(err, (v.status == kExitUsage ? "" : "the design did not complete: ") + v.problem,
              v.status == kExitUsage ? kExitUsage : kExitIncomplete);
}

void PrintTried(std::ostream& out, std::string_view heading, const std::vector<RingTryRow>& tried) {
  out << heading << "\n";
  for (const RingTryRow& t : tried) {
    out << "  " << t.part << ", " << t.grade << ", " << Figure(t.od * 1e3) << " x " << Figure(t.id * 1e3)
        << " x " << Figure(t.height * 1e3) << " mm";
    if (t.turns > 0) {
      out << ", " << t.turns << (t.turns == 1 ? " turn" : " turns") << " of AWG " << t.gauge << ", rise "
          << Figure(t.rise) << " C";
      if (t.margin) out << ", L " << (*t.margin >= 0 ? "+" : "") << Figure(*t.margin * 100) << " %";
      if (t.emissionMargin) out << ", margin " << num::FormatDouble(*t.emissionMargin, "0.0") << " dB";
    }
    if (t.price >= 0) out << ", " << Figure(t.price) << " USD";
    out << (t.why.empty() ? ": taken" : ": " + t.why) << "\n";
  }
}

void PrintRing(std::ostream& out, const RingView& v, bool json) {
  if (json) {
    using Json = nlohmann::ordered_json;
    Json windings = Json::array();
    for (const RingWindingRow& w : v.windings) {
      windings.push_back({{"turns", w.turns},
                          {"sector_deg", w.sectorDeg},
                          {"leakage_inductance_h", w.leakage},
                          {"current_a", w.current}});
    }
    Json steps = Json::array();
    for (const RingStepRow& s : v.steps)
      steps.push_back({{"name", s.name}, {"value", s.value}, {"unit", s.unit}, {"how", s.how}});
    Json doc = {{"part", v.part.empty() ? Json() : Json(v.part)},
                {"maker", v.maker.empty() ? Json() : Json(v.maker)},
                {"grade", v.grade},
                {"od_m", v.od},
                {"id_m", v.id},
                {"height_m", v.height},
                {"chamfer_m", v.chamfer},
                {"effective_length_m", v.length},
                {"effective_area_m2", v.area},
                {"effective_volume_m3", v.volume},
                {"al_h", v.al},
                {"required_inductance_h", v.requiredInductance > 0 ? Json(v.requiredInductance) : Json()},
                {"turns", v.turns},
                {"inductance_h", v.inductance},
                {"awg", v.gauge},
                {"peak_flux_t", v.peakFlux},
                {"saturation_t", v.saturation},
                {"saturates", v.peakFlux > v.saturation},
                {"complete", v.status == kExitOk},
                {"problem", v.problem},
                {"windings", windings},
                {"steps", steps}};
    if (v.insulation) {
      Json insulation = {{"standard", "IEC 60664-1:2020"}, {"class", "basic"}};
      if (v.bindingGap < v.insulation->gaps.size()) {
        const SafetyGap& g = v.insulation->gaps[v.bindingGap];
        auto optional = [](const std::optional<double>& x) { return x ? Json(*x) : Json(); };
        insulation["between"] = g.between;
        insulation["working_voltage_v"] = g.workingVoltage;
        insulation["required_clearance_m"] = g.clearance;
        insulation["required_creepage_m"] = optional(g.creepage);
        insulation["achieved_clearance_m"] = optional(g.achievedClearance);
        insulation["achieved_creepage_m"] = optional(g.achievedCreepage);
        insulation["binding"] = g.binding;
        insulation["gap_angle_deg"] = optional(g.gapAngle);
      }
      doc["insulation"] = insulation;
    }
    if (!v.tried.empty()) {
      Json tried = Json::array();
      for (const RingTryRow& t : v.tried) {
        tried.push_back({{"part", t.part},
                         {"grade", t.grade},
                         {"od_m", t.od},
                         {"id_m", t.id},
                         {"height_m", t.height},
                         {"turns", t.turns > 0 ? Json(t.turns) : Json()},
                         {"awg", t.turns > 0 ? Json(t.gauge) : Json()},
                         {"temperature_rise_c", t.turns > 0 ? Json(t.rise) : Json()},
                         {"inductance_margin", t.margin ? Json(*t.margin) : Json()},
                         {"price_usd", t.price >= 0 ? Json(t.price) : Json()},
                         {"passed_over", t.why.empty() ? Json() : Json(t.why)}});
      }
      doc["tried"] = tried;
    }
    out << doc.dump(2) << "\n";
    return;
  }
  if (!v.tried.empty()) {
    PrintTried(out, "Rings tried, in the order of the automatic choice:", v.tried);
    if (v.steps.empty()) return;
  }
  out << "Ring: " << (v.part.empty() ? "own size" : v.maker + " " + v.part) << ", " << v.grade << ", "
      << Figure(v.od * 1e3) << " x " << Figure(v.id * 1e3) << " x " << Figure(v.height * 1e3) << " mm\n";
  for (const RingStepRow& s : v.steps) {
    out << s.name << ": " << Figure(s.value) << (s.unit.empty() ? "" : " " + s.unit) << "  (" << s.how
        << ")\n";
  }
  for (std::size_t k = 0; k < v.windings.size(); ++k) {
    const RingWindingRow& w = v.windings[k];
    out << "Winding " << k + 1 << ": " << w.turns << " turns over " << Figure(w.sectorDeg) << " deg, leakage "
        << Figure(w.leakage) << " H, " << Figure(w.current) << " A rms\n";
  }
  if (v.insulation && v.bindingGap < v.insulation->gaps.size()) {
    const SafetyGap& g = v.insulation->gaps[v.bindingGap];
    out << "Insulation between windings (" << g.between << ", " << Figure(g.workingVoltage)
        << " V rms): clearance " << Figure(g.clearance * 1e3) << " mm"
        << (g.creepage ? ", creepage " + Figure(*g.creepage * 1e3) + " mm" : std::string()) << " required";
    if (g.gapAngle) {
      out << "; each gap between windings takes " << Figure(*g.gapAngle) << " deg of the ring, " << g.binding
          << " binds";
    }
    out << "\n";
  }
}

}  // namespace vtq::cli
