// vtq-cli where no PDF back end is built (the WebAssembly build): the text pages only.
#include "cli/cli.h"

namespace vtq::cli {

int WritePdfFile(const reports::Document&, const std::string& path, std::string_view, std::ostream&,
                 std::ostream& err) {
  err << "vtq-cli: cannot write " << path << ": PDF output needs the desktop program's vtq-cli\n";
  return kExitFailure;
}

}  // namespace vtq::cli
