// The designed choke's impedance against frequency: common and differential mode, from
// the ferrite's complex permeability, the DC resistance and the winding's capacitance.
#pragma once

#include <array>
#include <complex>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/core_size.h"
#include "analysis/ferrite.h"
#include "analysis/physics.h"
#include "analysis/winding.h"
#include "engine/design.h"

namespace vtq::analysis {

// What the curves are computed from, each winding alike. The circuit-simulator model is
// built from the same figures, element for element.
struct ChokeParameters {
  double inductance = 0;    // H, one winding at low frequency
  double leakage = 0;       // H, differential inductance per line: flux in air, no dispersion
  double magnetizing = 0;   // H, inductance - leakage: the flux through the ferrite
  double permeability = 0;  // initial permeability of the catalogue material
  // The measured curve the core follows, scaled so its lowest-frequency mu' is the
  // catalogue's: the AL values, and so the low-frequency inductance, stay the catalogue's.
  // Null: a lossless core of constant permeability.
  std::shared_ptr<const Ferrite> ferrite;
  // What mu(f) is divided by: the grade's lowest-frequency mu', or for a user's material
  // file the catalogue's initial permeability (the file's mu is taken as it stands).
  double muReference = 1;
  double temperature = 25;       // C
  double temperatureFactor = 1;  // mu_i(T) / mu_i(25 C) of the grade: the whole curve scales by it
  double capacitance = 0;        // F, self-capacitance of one winding
  WindingCapacitances winding;   // its parts and the angle the winding covers
  // F, from one winding to another at each end of the choke. Each winding's turns face the
  // conductive core, N C_tc for the winding, taken half at each end; at an end the n halves
  // meet in the core, a star whose delta between two windings is N C_tc / (2 n). In common
  // mode the ends of an end sit at one voltage and it carries nothing; in differential mode
  // it lies across the lines at both ends of the choke, beside the X capacitors.
  double interwinding = 0;
  double resistance = 0;  // ohm, DC, one winding
  CopperLayer copper;     // its resistance at frequency: skin and proximity effect of the layer
  // The differential inductance read as the design reads it, two reluctances in series,
  // 1 / mu_leak = 1 / (2 mu) + 1 / 20: a ferrite path at 2 mu and air. As inductances in
  // parallel, H: the air part less the copper's internal inductance, and the ferrite part
  // (0.1 mu + 1 times the whole), which carries the ferrite's loss once mu has fallen. That
  // part follows the material as one relaxation at leakageCorner, where the model's mu' has
  // fallen to half: a damping estimate of the size the leakage path's own estimate has.
  double leakageAir = 0, leakageFerrite = 0, leakageCorner = 0;  // H, H, Hz
  int turns = 0;                                                 // per winding
  double coreArea = 0;                                           // m2, cross-section times the stack count
  int windings = 2;  // on the core, one a line: 2 (single phase), 3 (three phases) or 4 (and the neutral)
  // One ring's section with the grade's resistivity and the family's permittivity: its
  // dimensional resonance (core_size.h). Each ring of a stack is coated, and the coating's
  // capacitance is far too small to carry the section's circulating displacement and
  // conduction current from ring to ring, so a stack resonates ring by ring.
  CoreSection section;
  std::string resistivitySource;   // which data gave the resistivity
  std::string permittivitySource;  // and the permittivity: a family's typical value, its source
};

// Every line driven together against every output together: the windings in parallel, each
// carrying 1/n of the current while all n add their flux in the core.
std::complex<double> CommonModeImpedance(const ChokeParameters& p, double frequency);
// The same with the core's mu = mu(f) / mu_i given: what CorePermeability gives at that frequency.
std::complex<double> CommonModeImpedance(const ChokeParameters& p, double frequency, std::complex<double> mu);
// The same with SeriesImpedance(p, frequency) given too: one series part serves both modes.
std::complex<double> CommonModeImpedance(const ChokeParameters& p, double frequency, std::complex<double> mu,
                                         std::complex<double> series);
// One line, with the current returning through the others, whose flux then cancels the core's:
// the loop of two lines is twice this.
std::complex<double> DifferentialImpedance(const ChokeParameters& p, double frequency);
std::complex<double> DifferentialImpedance(const ChokeParameters& p, double frequency,
                                           std::complex<double> series);
// The admittance across two lines at each end of the choke, S: j w times the interwinding
// capacitance. Differential mode is then a pi: this, the loop's series part, this again.
std::complex<double> DifferentialShunt(const ChokeParameters& p, double frequency);
// One winding's series part: the copper at frequency and the leakage with its ferrite part.
std::complex<double> SeriesImpedance(const ChokeParameters& p, double frequency);
// The same with the copper's impedance given (CopperImpedance of p's copper, or p's resistance).
std::complex<double> SeriesImpedance(const ChokeParameters& p, double frequency, std::complex<double> copper);

// |Z| = 2 pi f L, ohm, for f in Hz and L in H: the ideal winding, for reference.
double IdealMagnitude(double frequency, double inductance);

struct ImpedancePoint {
  double frequency = 0;  // Hz
  double magnitude = 0;  // ohm
};

struct ImpedanceSample {
  double frequency = 0;                           // Hz
  std::complex<double> commonMode, differential;  // ohm
  double ideal = 0;                               // ohm, 2 pi f L
  std::complex<double> material;                  // mu' - j mu'' of the core's material there
  std::complex<double> size = 1;                  // the size factor F that multiplies it in this core
};

struct Band {
  double from = 0, to = 0;  // Hz
};

struct ImpedanceCurve {
  std::string problem;  // why there is no curve; empty when there is one
  ChokeParameters parameters;
  std::vector<ImpedanceSample> points;  // rising frequency, log-spaced, both ends included
  // The requirement the design was made for: ImpedanceValue at the entered cutoff
  // frequency, in the impedance and voltage modes only (inductance mode has none).
  std::optional<ImpedancePoint> required;
  double selfResonance = 0;  // Hz, where the common-mode reactance turns capacitive; 0 if nowhere
  // Hz, the lowest frequency where the size factor departs 10 % from 1; 0 if nowhere below 1 GHz.
  double sizeOnset = 0;
  // The frequencies around the impedance peak where the common-mode |Z| meets the requirement.
  std::optional<Band> meets;
  // Peak flux density the line current drives through the differential inductance, T,
  // against the saturation flux density it is compared with.
  double peakFlux = 0, saturationLimit = 0;
  bool Saturates() const { return peakFlux > saturationLimit; }
  // One winding's low-frequency inductance, H, at -40 C, 25 C and 100 C.
  static constexpr std::array<double, 3> kTemperatures{-40, 25, 100};
  std::array<double, 3> inductanceAt{};
  // The material model's worst deviation from the drawn points (ferrite.h): the circuit
  // model is that network, element for element.
  double spiceFitDeviation = 0, spiceFitMagnitudeDeviation = 0;
};

struct CurveRange {
  double from = 0, to = 0;  // Hz; 0 = whole decades around 10 kHz .. 100 MHz and the requirement
  int points = 0;           // 0 = 40 a decade
};

// The curve of the window's last calculation at a core temperature in C. bsat in T; 0
// takes the grade's saturation flux density at that temperature.
// `material` replaces the grade of the window's material (a user's file).
ImpedanceCurve ChokeImpedance(const DesignWindow& window, CurveRange range = {}, double bsat = 0,
                              double temperature = 25,
                              const std::shared_ptr<const Ferrite>& material = nullptr);

// mu(f) / mu_i of the core at the parameters' temperature: the material's model (the
// network fitted to its drawn points, ModelPermeability) over the reference, times
// mu_i(T) / mu_i(25 C). The one place the impedance, the emission check and the core search
// take the material's curve from.
std::complex<double> RelativePermeability(const ChokeParameters& p, double frequency);
// The size factor of the parameters' core for its material at mu(f) / mu_i = `relative`.
std::complex<double> SizeFactorOf(const ChokeParameters& p, double frequency, std::complex<double> relative);
// What the winding sees: the material's mu(f) / mu_i times the size factor of this core.
std::complex<double> CorePermeability(const ChokeParameters& p, double frequency);

// "1.21 MHz", "100 Ω", "23.1 mT": three significant digits with an SI prefix, UTF-8.
std::string Engineering(double value, std::string_view unit);

// What the plot's caption says under it: the self-resonance, where the common mode meets
// the requirement, the flux density against saturation, and a warning when above it.
std::string Summary(const ImpedanceCurve& curve);

// The points as comma-separated values with a heading line: frequency, then |Z|, R and X
// of the common and the differential mode, then the ideal |Z|, all in Hz and ohm.
std::string CurveCsv(const ImpedanceCurve& curve);

// The parameters of a winding alone, for a curve or a model, at a core temperature in C.
ChokeParameters ParametersOf(const DesignWindow& window, std::string& problem, double temperature = 25,
                             const std::shared_ptr<const Ferrite>& material = nullptr);
// The same for a winding description (a ring's): its grade, or `material` in its place.
ChokeParameters ParametersOf(const Winding& wd, std::string& problem, double temperature = 25,
                             const std::shared_ptr<const Ferrite>& material = nullptr);
// The curve of a winding description for a line current in A rms and the requirement, if any.
ImpedanceCurve ChokeImpedance(const Winding& winding, double current, std::optional<ImpedancePoint> required,
                              CurveRange range = {}, double bsat = 0, double temperature = 25,
                              const std::shared_ptr<const Ferrite>& material = nullptr);

}  // namespace vtq::analysis
