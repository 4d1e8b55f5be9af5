#include "app/menu.h"

#include "app/control_ids.h"
#include "app/program.h"

void PopUpMainMenu(Program& program) { program.ui.PopUpMenu(*program.main); }

bool OpenWithExplorer(Program& program, std::string_view address) {
  constexpr intptr_t kFileNotFound = 2;
  constexpr int kShowNormal = 1;
  return program.sys.shell.Execute("open", "explorer.exe", address, "", kShowNormal) != kFileNotFound;
}

void OpenWebSite(Program& program) { OpenWithExplorer(program, kWebSiteAddress); }
