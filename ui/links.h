// The links of the About window: what a click opens, how it is opened, and
// the colour a link is drawn in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/model.h"

namespace ui {

// What opening a link needs from the system.
class LinkShell {
 public:
  virtual ~LinkShell() = default;
  // ShellExecute's "open" of the target, shown normally: what it returns,
  // above 32 for success.
  virtual intptr_t Open(std::string_view target) = 0;
  // The default value of a key under HKEY_CLASSES_ROOT; nothing when it
  // cannot be read.
  virtual std::optional<std::string> ClassesRootDefault(std::string_view key) = 0;
  // WinExec of a command line, shown normally: what it returns, above 32 for
  // success.
  virtual uint32_t Run(std::string_view commandLine) = 0;
};

// What a click on the link opens: its web address, or "mailto:" and its e-mail
// address; empty when it has no address.
std::string LinkTarget(const Control& link);

// The registered web-page command line up to the file it would be given: cut
// before the first "%1" in double quotes, else before the first bare %1, else
// the whole line.
std::string_view CommandBeforePlaceholder(std::string_view commandLine);

// Opens the target with the shell, or, where the shell cannot, with the
// program registered for web pages (the ".htm" class's open command); true
// when one of them started.
bool OpenLink(LinkShell& shell, std::string_view target);

// The colour of a link's text now: the mouse-over colour while the cursor is
// on it, else the visited colour once visited, else the normal colour.
Colour LinkColour(const Control& link);

}  // namespace ui
