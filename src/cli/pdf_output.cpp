#include "cli/pdf_output.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "reports/pdf_module.h"

namespace vtq::cli {
namespace {

namespace fs = std::filesystem;

// Where the module lies: beside the program in the build tree, in the program folder
// under lib when installed (the program itself is then in bin). The program's own path
// is read through /proc, so a link to it or a relocated install finds the module too.
const reports::PdfModule* LoadModule(std::string& error) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  const fs::path dir = ec ? fs::path(".") : self.parent_path();
  for (const fs::path& candidate :
       {dir / reports::kPdfModuleFile, dir / VTQ_PDF_MODULE_FROM_BIN / reports::kPdfModuleFile}) {
    if (!fs::exists(candidate, ec)) continue;
    // Kept loaded for the life of the process: the toolkit does not support unloading.
    void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      error = std::string("the PDF writer could not be loaded: ") + dlerror();
      return nullptr;
    }
    using Entry = const reports::PdfModule* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(handle, reports::kPdfModuleEntry));
    const reports::PdfModule* module = entry != nullptr ? entry() : nullptr;
    if (module == nullptr || module->abi != reports::kPdfModuleAbi || module->write == nullptr) {
      error = "the PDF writer " + candidate.string() + " belongs to another build of vtq-cli";
      return nullptr;
    }
    return module;
  }
  error = std::string("the PDF writer ") + reports::kPdfModuleFile + " is not installed beside vtq-cli";
  return nullptr;
}

}  // namespace

std::string WritePdfFile(const reports::Document& doc, const std::string& path) {
  static std::string loadError;
  static const reports::PdfModule* const module = LoadModule(loadError);
  if (module == nullptr) return loadError;
  return module->write(doc, path);
}

}  // namespace vtq::cli
