// Measured chokes and S-parameter files: a network analyser's or a maker's file read into
// the choke's common- and differential-mode impedance and set beside the model, and the
// designed choke written as the file a network analyser would have measured.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "analysis/measured.h"
#include "engine/numbers.h"
#include "files/file_io.h"
#include "files/touchstone.h"
#include "files/user_file.h"
#include "ui/model/analysis_views.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

using Complex = std::complex<double>;

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Ohms(double r) {
  return num::Printed(r, 6) + " ohm";
}

// The impedance of a one- or two-port file by its fixture.
std::string OneImpedance(const files::Network& n, Fixture fixture, std::vector<Complex>& z,
                         std::string& how) {
  if (n.ports == 1 && fixture != Fixture::Auto && fixture != Fixture::Reflection)
    return "a one-port file is a reflection measurement; a series or shunt fixture needs two ports";
  if (fixture == Fixture::Auto) fixture = n.ports == 1 ? Fixture::Reflection : Fixture::Series;
  const double z0 = n.references[0];
  if (fixture != Fixture::Reflection && n.references[1] != z0) {
    return "the two ports' reference resistances differ (" + Ohms(z0) + ", " + Ohms(n.references[1]) +
           "); a through fixture needs one";
  }
  for (const std::vector<Complex>& s : n.s) {
    switch (fixture) {
      case Fixture::Reflection:
        z.push_back(analysis::ReflectionImpedance(s[0], z0));
        break;
      case Fixture::Shunt:
        z.push_back(analysis::ShuntImpedance(s[static_cast<std::size_t>(n.ports)], z0));
        break;
      default:
        z.push_back(analysis::SeriesImpedance(s[static_cast<std::size_t>(n.ports)], z0));
    }
  }
  how = fixture == Fixture::Reflection ? "one-port reflection, Z = Z0 (1 + S11) / (1 - S11)"
        : fixture == Fixture::Shunt    ? "shunt-through, Z = Z0 S21 / (2 (1 - S21))"
                                       : "series-through, Z = 2 Z0 (1 - S21) / S21";
  how += ", Z0 = " + Ohms(z0);
  return {};
}

std::string FourPort(const files::Network& n, const MeasuredEntry& e, MeasuredChoke& m) {
  if (e.fixture != Fixture::Auto) return "a four-port file holds both lines' ports; no fixture applies";
  if (!e.ports.Valid()) return "the port order must name each of the ports 1 to 4 once";
  const double z0 = n.references[0];
  if (std::any_of(n.references.begin(), n.references.end(), [z0](double r) { return r != z0; }))
    return "the four ports' reference resistances differ; the mixed-mode conversion needs one";
  for (const std::vector<Complex>& s : n.s) {
    const analysis::ModeImpedances z = analysis::ChokeModes(s, z0, e.ports);
    m.commonMode.push_back(z.common);
    m.differential.push_back(z.differential);
    m.differentialShunt.push_back(z.differentialShunt);
  }
  const auto& p = e.ports.in1out1in2out2;
  m.how = "four-port, line 1 on ports " + std::to_string(p[0]) + " (in) and " + std::to_string(p[1]) +
          " (out), line 2 on ports " + std::to_string(p[2]) + " and " + std::to_string(p[3]) +
          ", mixed-mode: Zcm = Z0 (1 - Scc21) / Scc21, Zdm the series part of the differential mode's pi, "
          "-1 / Ydd21 for the loop (half per line), Z0 = " +
          Ohms(z0);
  return {};
}

// Measured over model, or none where either is not a finite, non-zero magnitude.
void Ratio(Complex measured, Complex model, std::optional<double>& m, std::optional<double>& x,
           std::optional<double>& ratio) {
  if (!std::isfinite(std::abs(measured))) return;
  m = std::abs(measured);
  x = std::abs(model);
  if (*x > 0 && std::isfinite(*x)) ratio = *m / *x;
}

std::string RatioText(double r) {
  return num::Printed(r, 3);
}

}  // namespace

MeasuredChoke LoadMeasuredChoke(const std::string& path, const MeasuredEntry& entry) {
  MeasuredChoke m;
  m.name = BaseName(path);
  // The one read of the file; its text then goes to the parser of its kind.
  const files::UserText read = files::ReadUserFile(path, files::UserFileKind::Measurement);
  if (!read.error.empty()) {
    m.error = path + ": " + read.error;
    m.unreadable = read.systemFailure;
    return m;
  }
  std::string suffix = m.name.substr(std::min(m.name.size(), m.name.find_last_of('.') + 1));
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string why;
  if (suffix == "csv") {
    files::ImpedanceTable t = files::ParseImpedanceCsv(read.text);
    why = t.error;
    m.frequencies = std::move(t.frequencies);
    m.commonMode = std::move(t.commonMode);
    m.differential = std::move(t.differential);
    if (!t.impedance.empty()) {
      if (entry.differential) {
        m.differential.clear();
        for (const Complex z : t.impedance) m.differential.push_back(z / 2.0);
      } else {
        m.commonMode = std::move(t.impedance);
      }
    }
    m.how = "impedance table";
  } else {
    files::NetworkRead r = files::ParseTouchstone(read.text, files::PortsOfName(m.name));
    why = r.error;
    if (why.empty()) {
      const files::Network& n = r.network;
      m.frequencies = n.frequencies;
      if (n.ports == 4) {
        why = FourPort(n, entry, m);
      } else if (n.ports <= 2) {
        std::vector<Complex> z;
        why = OneImpedance(n, entry.fixture, z, m.how);
        if (entry.differential) {
          for (const Complex v : z) m.differential.push_back(v / 2.0);
          m.how += "; the differential loop, half of it per line";
        } else {
          m.commonMode = std::move(z);
        }
      } else {
        why = "a " + std::to_string(n.ports) + "-port file: one-, two- and four-port files are read";
      }
    }
  }
  if (!why.empty()) {
    m = {};
    m.error = path + ": " + why;
  }
  return m;
}

MeasuredComparison CompareMeasured(const analysis::ChokeParameters& model, const MeasuredChoke& measured) {
  MeasuredComparison c;
  double worstCommon = 0, worstDifferential = 0;  // |log ratio|
  auto worse = [](double ratio, double f, double& worst, std::optional<double>& at, double& where) {
    const double distance = std::abs(std::log(ratio));
    if (f < analysis::kBandFrom || f > analysis::kBandTo || (at && !(distance > worst))) return;
    worst = distance;
    at = ratio;
    where = f;
  };
  for (std::size_t i = 0; i < measured.frequencies.size(); ++i) {
    const double f = measured.frequencies[i];
    if (!(f > 0)) continue;  // the model has no impedance at DC to compare with
    MeasuredRow row{f, {}, {}, {}, {}, {}, {}};
    if (!measured.commonMode.empty()) {
      Ratio(measured.commonMode[i], analysis::CommonModeImpedance(model, f), row.commonMode, row.commonModel,
            row.commonRatio);
    }
    if (!measured.differential.empty()) {
      Ratio(measured.differential[i], analysis::DifferentialImpedance(model, f), row.differential,
            row.differentialModel, row.differentialRatio);
    }
    if (row.commonRatio) worse(*row.commonRatio, f, worstCommon, c.worstCommon, c.worstCommonAt);
    if (row.differentialRatio)
      worse(*row.differentialRatio, f, worstDifferential, c.worstDifferential, c.worstDifferentialAt);
    c.rows.push_back(row);
  }
  std::string parts;
  if (c.worstCommon) {
    parts =
        "common mode " + RatioText(*c.worstCommon) + " at " + analysis::Engineering(c.worstCommonAt, "Hz");
  }
  if (c.worstDifferential) {
    parts += (parts.empty() ? "" : ", ") + std::string("differential mode ") +
             RatioText(*c.worstDifferential) + " at " + analysis::Engineering(c.worstDifferentialAt, "Hz");
  }
  c.summary = "Measured " + measured.name + " (" + measured.how +
              ") over the model, worst from 150 kHz to 30 MHz: " +
              (parts.empty() ? "no measured point in that band" : parts) + ".";
  return c;
}

TouchstoneFile TouchstoneOf(const DesignWindow& window, const TouchstoneEntry& entry,
                            const std::shared_ptr<const analysis::Ferrite>& material) {
  constexpr double kReference = 50;  // ohm, every port: what network analysers measure against
  TouchstoneFile out;
  if (entry.ports != 2 && entry.ports != 4) {
    out.problem = "An S-parameter file of the choke has 2 or 4 ports.";
    return out;
  }
  const analysis::ImpedanceCurve c = analysis::ChokeImpedance(window, entry.range, 0, 25, material);
  if (!c.problem.empty()) {
    out.problem = c.problem;
    return out;
  }
  const std::string part = window.outputs.txtPN;
  files::Network n;
  n.ports = entry.ports;
  std::vector<std::string> comments = {"Common-mode choke " + part + ", " +
                                           analysis::Engineering(c.parameters.inductance, "H") +
                                           " a winding, as designed (model, not measured), 25 C",
                                       "Reference: every port 50 ohm"};
  const analysis::ChokePorts ports;
  if (entry.ports == 4) {
    comments.emplace_back("Port 1: line 1 in, port 2: line 1 out, port 3: line 2 in, port 4: line 2 out");
    comments.emplace_back(
        "Mixed mode: pairs (1,3) and (2,4); common mode both lines together, differential "
        "mode per line, the windings' capacitance across the lines at each end");
  } else {
    comments.push_back(std::string(entry.differential
                                       ? "Differential mode: the loop through both lines (twice the per-line "
                                         "impedance)"
                                       : "Common mode: both lines together") +
                       " as a series element from port 1 to port 2");
  }
  for (const analysis::ImpedanceSample& s : c.points) {
    n.frequencies.push_back(s.frequency);
    if (entry.ports == 4) {
      n.s.push_back(analysis::ChokeScattering(
          {s.commonMode, s.differential, analysis::DifferentialShunt(c.parameters, s.frequency)}, kReference,
          ports));
    } else {
      const std::array<Complex, 4> m =
          analysis::SeriesScattering(entry.differential ? 2.0 * s.differential : s.commonMode, kReference);
      n.s.push_back({m[0], m[2], m[1], m[3]});  // row by row: S11 S12, S21 S22
    }
  }
  out.name = (part.empty() ? std::string("choke") : part) + (entry.ports == 4 ? ".s4p" : ".s2p");
  out.text = files::WriteTouchstone(n, kReference, comments);
  return out;
}

TouchstoneFile WindowModel::TouchstoneExport(const TouchstoneEntry& entry) const {
  return TouchstoneOf(window, entry, ImpedanceMaterial());
}

void WindowModel::ExportTouchstoneMnu_Click() {
  const TouchstoneFile file = TouchstoneExport(touchstoneEntry);
  ExportFile({FileDialogPurpose::ExportTouchstone, kTouchstoneExportTitle, "There is no winding to export.",
              "S-parameter file", window.outputs.txtPN},
             file.problem, file.name, file.text);
}

bool WindowModel::UseMeasuredChoke(const std::string& path, const MeasuredEntry& entry) {
  auto file = std::make_shared<MeasuredChoke>(LoadMeasuredChoke(path, entry));
  if (!file->error.empty()) {
    LastFileError = file->error;
    measuredUnreadable = file->unreadable;
    host_.MsgBox("Could not use the measurement " + file->error, kImpedanceTitle);
    return false;
  }
  measuredChoke = std::move(file);
  FileStatus = "The impedance plot shows the measured choke " + path;
  FollowDesign();
  return true;
}

void WindowModel::ImpedanceMeasuredClear_Click() {
  LastFileError.clear();
  if (!measuredChoke) return;
  FileStatus = "The impedance plot no longer shows the measured choke " + measuredChoke->name;
  measuredChoke = nullptr;
  FollowDesign();
}

void WindowModel::ImpedanceMeasured_Click() {
  FileStatus.clear();
  LastFileError.clear();
  FileDialogSettings dialog;
  const std::optional<std::string> path = host_.ChooseFile(FileDialogPurpose::OpenMeasurement, dialog);
  if (path) UseMeasuredChoke(*path, measuredEntry);
}

}  // namespace vtq
