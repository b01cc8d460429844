// PDF output where no PDF writer module can be built (the WebAssembly build): the text
// pages only, and a reason that says where PDF files come from.
#include "cli/pdf_output.h"

namespace vtq::cli {

std::string WritePdfFile(const reports::Document&, const std::string&) {
  return "PDF output needs the desktop program's vtq-cli";
}

}  // namespace vtq::cli
