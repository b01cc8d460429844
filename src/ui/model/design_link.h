// A design and an emission case carried in a link: the fields of a web address's query,
// under the command line's option names and words, so that a link reads as the vtq-cli
// command that gives the same design ("mode=voltage&main=230&material=P&core=9").
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/design_state.h"

namespace vtq {

class WindowModel;

// The design modes as the command line and a link name them.
struct ModeWord {
  std::string_view word;
  DesignModeOption mode;
};
inline constexpr ModeWord kModeWords[] = {{"inductance", DesignModeOption::Inductance},
                                          {"impedance", DesignModeOption::Impedance},
                                          {"voltage", DesignModeOption::Voltage}};

using LinkFields = std::vector<std::pair<std::string, std::string>>;

// The window's design as a design file carries it (the inputs as typed, the options, the
// core it evaluated), with the emission case after it when `emissions`.
LinkFields DesignLinkOf(const WindowModel& model, bool emissions);

// Applies a link's fields: the design as Open applies a design file (one calculation),
// then the emission case, whose view then opens. A field the model does not know is left
// alone (the page's own); a word or a core that is none of the offered ones is left out
// and named in the answer, empty when every field was taken.
std::string OpenDesignLink(WindowModel& model, const LinkFields& fields);

}  // namespace vtq
