// vtq-cli impedance: the designed choke's common- and differential-mode impedance over
// frequency, with the figures it is computed from.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "cli/json_writer.h"
#include "ui/model/analysis_views.h"

namespace vtq::cli {
namespace {

using analysis::ImpedanceCurve;

struct ImpedanceArgs {
  DesignArgs design;
  ImpedanceEntry entry;
  std::string materialFile;
  MeasuredArgs measured;
  RingArgs ring;
  bool json = false, csv = false, insertionLoss = false;
};

// dB with two decimals, a point whatever the locale: the figures are integers of 0.01 dB.
std::string Db(double v) {
  return num::DoubleText(std::round(v * 100) / 100);
}

int PrintInsertionLoss(std::ostream& out, std::ostream& err, const WindowModel& model,
                       const ImpedanceArgs& a) {
  const InsertionLossTable t = InsertionLossOf(model.window, a.entry.range);
  if (!t.problem.empty()) return Fail(err, t.problem, kExitIncomplete);
  if (a.json) {
    std::string text;
    JsonWriter json(text, 2);
    json.BeginObject().Key("part").String(model.window.outputs.txtPN);
    json.Key("convention").String("IL = 20 log10 |(Zs + Zl + Z) / (Zs + Zl)|").Key("points").BeginArray();
    for (const auto& r : t.rows) {
      json.BeginObject().Key("frequency_hz").Double(r.frequency);
      json.Key("cm_50ohm_db").Double(r.loss.commonMode50).Key("dm_50ohm_db").Double(r.loss.differential50);
      json.Key("cm_25ohm_db")
          .Double(r.loss.commonModeNetwork)
          .Key("dm_100ohm_db")
          .Double(r.loss.differentialNetwork);
      json.EndObject();
    }
    json.EndArray().EndObject();
    out << text << "\n";
    return kExitOk;
  }
  out << (a.csv ? "frequency_hz,cm_50ohm_db,dm_50ohm_db,cm_25ohm_db,dm_100ohm_db\n"
                : "Insertion loss, IL = 20 log10 |(Zs + Zl + Z) / (Zs + Zl)|, in dB\n"
                  "Frequency (Hz)  CM 50/50 ohm  DM 50/50 ohm  CM 25/25 ohm  DM 100/100 ohm\n");
  for (const auto& r : t.rows) {
    if (a.csv) {
      out << num::DoubleText(r.frequency) << "," << Db(r.loss.commonMode50) << ","
          << Db(r.loss.differential50) << "," << Db(r.loss.commonModeNetwork) << ","
          << Db(r.loss.differentialNetwork) << "\n";
    } else {
      std::string line;
      num::AppendPrinted(line, r.frequency, 6, 14);
      for (const auto& [v, width] : {std::pair{r.loss.commonMode50, 14},
                                     {r.loss.differential50, 14},
                                     {r.loss.commonModeNetwork, 14},
                                     {r.loss.differentialNetwork, 16}}) {
        const std::string text = num::FormatDouble(v, "0.00");
        line +=
            std::string(static_cast<std::size_t>(width) - std::min<std::size_t>(text.size(), 13), ' ') + text;
      }
      line += '\n';
      out << line;
    }
  }
  return kExitOk;
}

void PrintText(std::ostream& out, const ImpedanceView& v) {
  const ImpedanceCurve& c = v.curve;
  const analysis::ChokeParameters& p = c.parameters;
  auto row = [&](std::string_view label, const std::string& value) {
    out << label << std::string(label.size() < 34 ? 34 - label.size() : 1, ' ') << value << "\n";
  };
  row("Inductance, one winding", Figure(p.inductance) + " H");
  row("Differential inductance per line", Figure(p.leakage) + " H");
  row("Ferrite",
      p.ferrite->maker + " " + p.ferrite->name + " (measured), at " + Figure(p.temperature) + " C");
  for (std::size_t i = 0; i < c.inductanceAt.size(); ++i) {
    row("Inductance at " + Figure(ImpedanceCurve::kTemperatures[i]) + " C", Figure(c.inductanceAt[i]) + " H");
  }
  row("Winding capacitance", Figure(p.capacitance) + " F");
  row("DC resistance, one winding", Figure(p.resistance) + " ohm");
  out << "\n" << v.caption << "\n\n";
  out << "Frequency (Hz)    |Zcm| (ohm)     Rcm (ohm)     Xcm (ohm)   |Zdm| (ohm)     Rdm (ohm)"
         "     Xdm (ohm)   Ideal (ohm)\n";
  for (const auto& s : c.points) {
    const std::pair<double, int> fields[] = {{s.frequency, 14},
                                             {std::abs(s.commonMode), 14},
                                             {s.commonMode.real(), 13},
                                             {s.commonMode.imag(), 13},
                                             {std::abs(s.differential), 13},
                                             {s.differential.real(), 13},
                                             {s.differential.imag(), 13},
                                             {s.ideal, 13}};
    std::string line;
    for (const auto& [v, width] : fields) {
      num::AppendPrinted(line, v, 6, width);
      line += ' ';
    }
    line.back() = '\n';
    out << line;
  }
}

// The measured choke beside the model at each measured frequency: |Z| measured, the
// model's, and measured over model; a mode the file does not give is left empty.
void PrintMeasured(std::ostream& out, const ImpedanceView& v, bool csv) {
  const MeasuredComparison& m = v.measured;
  auto cell = [csv](const std::optional<double>& x, int width) {
    if (csv) return x ? num::DoubleText(*x) : std::string();
    return x ? num::Printed(*x, 6, width) : std::string(static_cast<std::size_t>(width), ' ');
  };
  if (csv) {
    out << "frequency_hz,zcm_ohm,zcm_model_ohm,zcm_ratio,zdm_ohm,zdm_model_ohm,zdm_ratio\n";
  } else {
    out << "\n" << m.summary << "\n\n";
    out << "Frequency (Hz)  |Zcm| meas.  |Zcm| model  ratio  |Zdm| meas.  |Zdm| model  ratio  (ohm; DM per "
           "line)\n";
  }
  for (const MeasuredRow& r : m.rows) {
    const std::pair<const std::optional<double>*, int> cells[] = {
        {&r.commonMode, 12},   {&r.commonModel, 12},       {&r.commonRatio, 6},
        {&r.differential, 12}, {&r.differentialModel, 12}, {&r.differentialRatio, 6}};
    std::string line = csv ? num::DoubleText(r.frequency) : num::Printed(r.frequency, 6, 14);
    for (const auto& [x, width] : cells) line += (csv ? "," : " ") + cell(*x, width);
    out << line << "\n";
  }
}

void MeasuredJson(JsonWriter& json, const ImpedanceView& v) {
  const MeasuredComparison& m = v.measured;
  json.Key("measured").BeginObject().Key("file").String(v.measuredChoke->name);
  json.Key("how").String(v.measuredChoke->how);
  auto optional = [&json](std::string_view key, const std::optional<double>& x) {
    json.Key(key);
    if (x) {
      json.Double(*x);
    } else {
      json.Null();
    }
  };
  optional("worst_cm_ratio", m.worstCommon);
  optional("worst_cm_ratio_at_hz", m.worstCommon ? std::optional(m.worstCommonAt) : std::nullopt);
  optional("worst_dm_ratio", m.worstDifferential);
  optional("worst_dm_ratio_at_hz", m.worstDifferential ? std::optional(m.worstDifferentialAt) : std::nullopt);
  json.Key("points").BeginArray();
  for (const MeasuredRow& r : m.rows) {
    json.BeginObject().Key("frequency_hz").Double(r.frequency);
    if (r.commonMode) {
      json.Key("zcm_ohm").Double(*r.commonMode);
      optional("zcm_model_ohm", r.commonModel);
      optional("zcm_ratio", r.commonRatio);
    }
    if (r.differential) {
      json.Key("zdm_ohm").Double(*r.differential);
      optional("zdm_model_ohm", r.differentialModel);
      optional("zdm_ratio", r.differentialRatio);
    }
    json.EndObject();
  }
  json.EndArray().EndObject();
}

void PrintJson(std::ostream& out, const ImpedanceView& v, const WindowModel& model) {
  const ImpedanceCurve& c = v.curve;
  const analysis::ChokeParameters& p = c.parameters;
  std::string text;
  JsonWriter json(text, 2);
  json.BeginObject().Key("part").String(v.part).Key("parameters").BeginObject();
  json.Key("inductance_h").Double(p.inductance).Key("differential_inductance_h").Double(p.leakage);
  json.Key("differential_inductance_reading").String("per line");
  json.Key("magnetizing_inductance_h")
      .Double(p.magnetizing)
      .Key("initial_permeability")
      .Double(p.permeability);
  json.Key("temperature_c").Double(p.temperature).Key("permeability_factor").Double(p.temperatureFactor);
  json.Key("winding_capacitance_f").Double(p.capacitance).Key("dc_resistance_ohm").Double(p.resistance);
  json.Key("interwinding_capacitance_f").Double(p.interwinding);
  json.Key("interwinding_capacitance_reading")
      .String("between two windings at each end of the choke, through the core: N C_tc / (2 n)");
  json.Key("turns").Integer(p.turns).Key("core_area_m2").Double(p.coreArea);
  json.Key("copper_time_constant_s").Double(p.copper.tau);
  json.Key("leakage_air_h").Double(p.leakageAir).Key("leakage_ferrite_h").Double(p.leakageFerrite);
  json.Key("leakage_corner_hz").Double(p.leakageCorner);
  json.Key("cross_section_m").BeginObject().Key("width").Double(p.section.width);
  json.Key("height").Double(p.section.height).EndObject();
  json.Key("cross_section_reading").String("one ring: radial width (OD - ID) / 2 by the ring's own height");
  json.Key("resistivity_ohm_m").Double(p.section.resistivity);
  json.Key("resistivity_source").String(p.resistivitySource);
  json.Key("relative_permittivity").Double(p.section.permittivity);
  json.Key("permittivity_source").String(p.permittivitySource);
  json.Key("size_onset_hz");
  c.sizeOnset > 0 ? json.Double(c.sizeOnset) : json.Null();
  json.Key("temperature_reading")
      .String(
          "only the low-frequency part follows temperature: the whole curve scales by mu_i(T) / mu_i(25 C); "
          "the grades give mu' and mu'' at 25 C only, so above the dispersion the curve is optimistic hot "
          "and pessimistic cold");
  json.EndObject();
  json.Key("ferrite")
      .BeginObject()
      .Key("grade")
      .String(p.ferrite->name)
      .Key("maker")
      .String(p.ferrite->maker);
  json.Key("source").String(p.ferrite->source).Key("database").String(analysis::kMaterialDataSource);
  json.Key("low_frequency_mu_real").Double(p.ferrite->LowFrequency());
  json.Key("spice_fit_worst_deviation").Double(c.spiceFitDeviation);
  json.Key("spice_fit_worst_magnitude_deviation").Double(c.spiceFitMagnitudeDeviation).EndObject();
  json.Key("inductance_by_temperature").BeginArray();
  for (std::size_t i = 0; i < c.inductanceAt.size(); ++i) {
    json.BeginObject().Key("temperature_c").Double(ImpedanceCurve::kTemperatures[i]);
    json.Key("inductance_h").Double(c.inductanceAt[i]).EndObject();
  }
  json.EndArray();
  json.Key("model").String(
      "Zcore = j w Lm (mu / mu_i) F; mu = mu_real - j mu_imag at each point: the material's model (a "
      "passive network fitted to the grade's drawn points, vtq-cli material X --json) over its mu'(f_low), "
      "times mu_i (initial_permeability) and k = mu_i(T) / mu_i(25 C); F = size_factor_real + j "
      "size_factor_imag, the core's size: the sum over odd m, n of a lambda / (lambda - k2), a = 64 / (pi^4 "
      "m^2 n^2), lambda = pi^2 (m^2 / width^2 + n^2 / height^2), k2 = w^2 mu0 mu eps0 (eps_r - j / (w eps0 "
      "rho)) (cross_section_m, resistivity_ohm_m, relative_permittivity), kept as 17 poles within 3 %; Zs = "
      "Rdc x "
      "coth x, x^2 = j w tau (Dowell's one layer, "
      "as R-L sections within 3 %) + 1 / (1 / (j w La) + 1 / (j w Lf) + 1 / (2 pi fc Lf)) (La leakage_air_h, "
      "Lf leakage_ferrite_h, fc leakage_corner_hz); with n windings Zcm = 1 / (n (1 / (Zs + n Zcore) + j w "
      "C)); "
      "Zdm = 1 / (1 / Zs + j w C)");
  // Absent figures are null: no resonance below the top frequency, no requirement, never met.
  json.Key("self_resonance_hz");
  c.selfResonance > 0 ? json.Double(c.selfResonance) : json.Null();
  json.Key("requirement");
  if (c.required) {
    json.BeginObject().Key("impedance_ohm").Double(c.required->magnitude);
    json.Key("frequency_hz").Double(c.required->frequency).EndObject();
  } else {
    json.Null();
  }
  json.Key("meets");
  if (c.meets) {
    json.BeginObject().Key("from_hz").Double(c.meets->from).Key("to_hz").Double(c.meets->to).EndObject();
  } else {
    json.Null();
  }
  json.Key("saturation").BeginObject();
  json.Key("current_a").Double(static_cast<double>(model.window.state.CurrentValue));
  json.Key("peak_flux_t").Double(c.peakFlux).Key("bsat_t").Double(c.saturationLimit);
  json.Key("saturates").Bool(c.Saturates()).EndObject();
  json.Key("constants").BeginArray();
  for (const auto& k : v.constants) {
    json.BeginObject().Key("key").String(k.key).Key("value").Double(k.value);
    json.Key("unit").String(k.unit).Key("source").String(k.source).EndObject();
  }
  json.EndArray().Key("points").BeginArray();
  for (const auto& s : c.points) {
    json.BeginObject().Key("frequency_hz").Double(s.frequency).Key("zcm_ohm").Double(std::abs(s.commonMode));
    json.Key("rcm_ohm").Double(s.commonMode.real()).Key("xcm_ohm").Double(s.commonMode.imag());
    json.Key("zdm_ohm").Double(std::abs(s.differential)).Key("rdm_ohm").Double(s.differential.real());
    json.Key("xdm_ohm").Double(s.differential.imag()).Key("ideal_ohm").Double(s.ideal);
    json.Key("mu_real").Double(s.material.real()).Key("mu_imag").Double(-s.material.imag());
    json.Key("size_factor_real").Double(s.size.real()).Key("size_factor_imag").Double(s.size.imag());
    json.EndObject();
  }
  json.EndArray();
  if (v.measuredChoke) MeasuredJson(json, v);
  json.EndObject();
  out << text << "\n";
}

void PrintImpedance(std::ostream& out, const ImpedanceView& view, const WindowModel& model,
                    const ImpedanceArgs& a) {
  if (a.json) {
    PrintJson(out, view, model);
  } else if (a.csv) {
    if (view.measuredChoke) {
      PrintMeasured(out, view, true);
    } else {
      out << ImpedanceCsvOf(view);
    }
  } else {
    PrintText(out, view);
    if (view.measuredChoke) PrintMeasured(out, view, false);
  }
}

}  // namespace

void RegisterImpedanceCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "impedance", "Compute a design as the window would and print its impedance over frequency");
  auto args = std::make_shared<ImpedanceArgs>();
  AddDesignOptions(*cmd, args->design);
  cmd->add_option("--points", args->entry.range.points, "Number of log-spaced frequencies (2 to 100000)")
      ->transform(DecimalWhole())
      ->check(CLI::Range(2, 100000));
  CLI::Option* from = cmd->add_option("--from", args->entry.range.from, "Lowest frequency (Hz)")
                          ->transform(DecimalReal())
                          ->check(CLI::Range(1e-3, 1e12));
  CLI::Option* to = cmd->add_option("--to", args->entry.range.to, "Highest frequency (Hz)")
                        ->transform(DecimalReal())
                        ->check(CLI::Range(1e-3, 1e12));
  from->needs(to);
  to->needs(from);
  cmd->add_option("--bsat", args->entry.bsat, "Saturation flux density to compare with (T)")
      ->transform(DecimalReal())
      ->check(CLI::Range(1e-3, 10.0));
  cmd->add_option("--temperature", args->entry.temperature, "Core temperature (C), -60 to 300; default 25")
      ->transform(DecimalReal())
      ->check(CLI::Range(-60.0, 300.0));
  cmd->add_option(
      "--material-file", args->materialFile,
      "The core's permeability from FILE (CSV frequency_hz,mu_real,mu_imag or a JSON material entry): "
      "Zcore = j w Lm mu(f) / mu_i");
  AddRingOptions(*cmd, args->ring, false);
  AddMeasuredOptions(*cmd, args->measured,
                     "set beside the model: both and their ratio at each measured frequency (--csv prints "
                     "those alone; --json adds them under \"measured\")");
  CLI::Option* jsonFlag = cmd->add_flag("--json", args->json, "Print one JSON object: parameters and points");
  cmd->add_flag(
      "--insertion-loss", args->insertionLoss,
      "Print the insertion loss instead, 150 kHz to 30 MHz unless --from/--to: common and differential "
      "mode in the 50/50 ohm test and in the network's 25 ohm (CM) and 100 ohm (DM) terminations");
  cmd->add_flag("--csv", args->csv, "Print comma-separated values, one frequency a line")->excludes(jsonFlag);
  cmd->footer(
      "Common mode: both lines driven together. Differential mode: per line, the current returning "
      "through the other line (the loop of both lines is twice as much), read from the differential "
      "inductance per line that the window shows; the circuit-simulator model reads it the same way. "
      "The ferrite follows one passive model fitted to its grade's measured mu'(f) and mu''(f) (vtq-cli "
      "material X), scaled to the catalogue's initial permeability; at another temperature the "
      "whole curve scales by mu_i(T) / mu_i(25 C), a first-order rule. The winding capacitance: one "
      "layer in its own sector, the turns touching at the inner diameter, on a conductive core under a "
      "0.152 mm epoxy coating, enamel of permittivity 3.5 (an assumption); turn-to-turn and turn-to-core "
      "capacitances for a floating core, growing with the turn count. "
      "Each winding's copper follows Dowell's one-layer skin and proximity effect, its leakage runs partly "
      "through "
      "the ferrite (a relaxation at the material's half-permeability frequency). The core's size: the "
      "permeability times the dimensional-resonance factor of one ring's rectangular section (the grade's "
      "resistivity, a permittivity typical of MnZn). Between two windings "
      "at each end, their capacitance through the core, N C_tc / (2 n): it carries no common-mode current, "
      "and in differential mode (the insertion loss, the emission check) it lies across the lines at both "
      "ends; the differential |Z| shown is the series part alone. Saturation: B = Ldiff sqrt(2) I / (N Ae) "
      "against the grade's saturation flux density at the temperature (linear between 25 C and 100 C).");
  commands.actions.emplace_back(cmd, [args](std::ostream& out, std::ostream& err) {
    // Checked before the design: a range the command cannot draw is a usage error whatever the design.
    if (args->entry.range.from > 0 && !(args->entry.range.to > args->entry.range.from)) {
      return Fail(err, "--to must lie above --from", kExitUsage);
    }
    if (const int status = RingUsage(args->ring, err); status != kExitOk) return status;
    if (args->ring.Wanted()) {
      if (args->insertionLoss || !args->measured.file.empty())
        return Fail(err, "--insertion-loss and --measured are not worked out on a ring yet", kExitUsage);
      RingArgs ring = args->ring;
      ring.materialFile = args->materialFile;
      ring.entry.temperature = args->entry.temperature;
      return ShowRing(args->design.Resolve(), ring, out, err,
                      [args, ring](WindowModel& model, std::ostream& out, std::ostream& err) {
                        RingView design;
                        const ImpedanceView view = model.RingImpedance(ring.entry, args->entry, design);
                        if (const int status = RingDone(design, err, args->json ? &out : nullptr))
                          return status;
                        PrintImpedance(out, view, model, *args);
                        return kExitOk;
                      });
    }
    return ShowDesign(args->design.Resolve(), out, err,
                      [args](WindowModel& model, ShellHost& host, std::ostream& out, std::ostream& err) {
                        if (args->insertionLoss) return PrintInsertionLoss(out, err, model, *args);
                        // The window's own commands: the plot's entry, Measured Material... answered with
                        // the file, View > Impedance Plot.
                        model.Impedance_Change(args->entry);
                        if (const int status = UseMaterialFile(model, host, args->materialFile, err))
                          return status;
                        if (const int status = UseMeasured(model, args->measured, err)) return status;
                        model.mnuImpedance_Click();
                        const ImpedanceView& view = model.impedance;
                        if (!view.problem.empty()) return Fail(err, view.problem, kExitIncomplete);
                        PrintImpedance(out, view, model, *args);
                        return kExitOk;
                      });
  });
}

}  // namespace vtq::cli
