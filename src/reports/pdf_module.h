// The PDF writer as a module loaded on demand: the toolkit it draws with costs a
// command-line process tens of milliseconds of dynamic linking, paid only by the
// commands that write a PDF. This header is the contract between the module and its
// loader, both built from this tree.
// Speed: it serves vtq-cli's start-up goal (at most 3 times a minimal C++ program, timed by
// cli_bench; 1.37 times in the last CI run). Held by the cli_pdf_module test (vtq-cli links
// no toolkit) and by the PDF tests, which read the module's pages back.
#pragma once

#include <string>

#include "reports/page.h"

namespace vtq::reports {

struct PdfModule {
  // The layout of Document and of this struct; a module from another build is refused
  // rather than handed objects it would misread.
  int abi = 0;
  // Writes the document as a PDF file, replacing any file of that name. Empty on
  // success, else what went wrong, as a phrase.
  std::string (*write)(const Document& doc, const std::string& path) = nullptr;
};

inline constexpr int kPdfModuleAbi = 1;
// The module's file name and the one symbol it exports: a function returning its PdfModule.
inline constexpr const char* kPdfModuleFile = "vtq-pdf.so";
inline constexpr const char* kPdfModuleEntry = "vtq_pdf_module";

}  // namespace vtq::reports
