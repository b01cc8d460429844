// The menu handlers that are neither file nor print commands: leaving the program,
// the help pages and the two information boxes.
#include <string>

#include "ui/model/window_model.h"

#ifndef VTQ_VERSION
#define VTQ_VERSION "0"
#endif

namespace vtq {
namespace {

constexpr std::string_view kAboutTitle = "About Common Mode Inductor Design";
constexpr std::string_view kContactTitle = "Contacting Kestarlon";
constexpr std::string_view kHelpTitle = "Help";

}  // namespace

std::string AboutText() {
  return "Kestralon Common Mode Inductor Design Software.\r\rVTQ version " VTQ_VERSION;
}

std::string ContactText() {
  std::string text = "Contact KESTRALON Applications Engineering and Sales at:\r\rPhone: ";
  text += kMakerPhone;
  text += "\rFax:      ";
  text += kMakerFax;
  text += "\rEmail:   ";
  text += kMakerEmail;
  return text;
}

void WindowModel::ExitButton_Click() {
  host_.Unload();
}
void WindowModel::ExitMnu_Click() {
  host_.Unload();
}

void WindowModel::AboutMnu_Click() {
  host_.MsgBox(AboutText(), kAboutTitle);
}
void WindowModel::mnuContact_Click() {
  host_.MsgBox(ContactText(), kContactTitle);
}

std::string WindowModel::HelpIndexPage() const {
  const std::size_t slash = HelpFile.find_last_of('/');
  return (slash == std::string::npos ? std::string() : HelpFile.substr(0, slash + 1)) + "index.html";
}

void WindowModel::mnuContents_Click() {
  ShowHelpPage(HelpFile);
}
void WindowModel::mnuIndex_Click() {
  ShowHelpPage(HelpIndexPage());
}

void WindowModel::ShowHelpPage(const std::string& page) {
  if (host_.ShowHelp(page)) return;
  // The document ships beside the program; a missing or unreadable page says where it
  // was looked for, so a broken installation can be repaired.
  host_.MsgBox("The help page could not be opened:\r" + page +
                   "\r\rThe help document belongs in the folder \"help\" beside the program.",
               kHelpTitle);
}

}  // namespace vtq
