#include "app/shell_win.h"

#include "base/bound_functions_win.h"
#include "base/encoding_win.h"

intptr_t Win32Shell::Execute(std::string_view operation, std::string_view file, std::string_view parameters,
                             std::string_view directory, int show) {
  const std::string o = ToCodePage(operation, CP_ACP), f = ToCodePage(file, CP_ACP), p = ToCodePage(parameters, CP_ACP),
                    d = ToCodePage(directory, CP_ACP);
  return reinterpret_cast<intptr_t>(
      Sys<Bound::ShellExecuteA>()(nullptr, o.c_str(), f.c_str(), p.c_str(), d.c_str(), show));
}
