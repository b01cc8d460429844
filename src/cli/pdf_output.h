// PDF files from the command line, through the PDF writer module loaded on demand.
#pragma once

#include <string>

#include "reports/page.h"

namespace vtq::cli {

// Writes the document as a PDF file. Empty on success, else what went wrong, as a phrase
// (a module that is missing or from another build among the reasons).
std::string WritePdfFile(const reports::Document& doc, const std::string& path);

}  // namespace vtq::cli
