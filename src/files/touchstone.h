// Network analysers' and makers' files as text: Touchstone version 1 and 2 (.s1p, .s2p,
// .s4p, ...) read into scattering matrices and written from them, and an impedance table
// as comma-separated values. Parsers take the text; reading the file is the caller's.
#pragma once

#include <complex>
#include <string>
#include <string_view>
#include <vector>

namespace vtq::files {

using Complex = std::complex<double>;

// A network's scattering parameters at each frequency, whatever the file held (S, Z or Y):
// Z and Y are converted with the ports' reference resistances.
struct Network {
  int ports = 0;
  std::vector<double> references;   // ohm, one a port
  std::vector<double> frequencies;  // Hz, rising
  // One matrix a frequency, row by row: s[k][i * ports + j] is S of port i+1 from port j+1.
  std::vector<std::vector<Complex>> s;
  std::string parameter;  // "S", "Z" or "Y": what the file held
  int version = 1;
};

struct NetworkRead {
  Network network;
  std::string error;  // "line 7: ..." when the text is no network; empty otherwise
};

// The port count a name's extension gives (".s4p" 4, case aside); 0 when it gives none.
int PortsOfName(std::string_view name);

// `ports`: the count the file's name gives (0 when it gives none; a version 2 file says it
// itself, a version 1 file needs it).
NetworkRead ParseTouchstone(std::string_view text, int ports);

// A version 1 file of S-parameters, real and imaginary parts, frequencies in Hz, every
// port at `reference` ohm; `comments` go first, each line after "! ".
std::string WriteTouchstone(const Network& network, double reference,
                            const std::vector<std::string>& comments);

// An impedance table: a heading line naming `frequency_hz` and one or more of the pairs
// `z_ohm,phase_deg` or `r_ohm,x_ohm` (one impedance, its mode not said), `rcm_ohm,xcm_ohm`
// (common mode) and `rdm_ohm,xdm_ohm` (differential mode); "#" starts a comment line.
struct ImpedanceTable {
  std::vector<double> frequencies;                           // Hz, rising
  std::vector<Complex> impedance, commonMode, differential;  // ohm; each empty or one a frequency
  std::string error;                                         // "line 3: ..."; empty when read
};
ImpedanceTable ParseImpedanceCsv(std::string_view text);

}  // namespace vtq::files
