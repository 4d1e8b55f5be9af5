#include "ui/links.h"

#include "ui/facility.h"

namespace ui {

std::string LinkTarget(const Control& link) {
  const std::string address = link.layout->address;
  if (address.empty()) return {};
  return link.layout->link == LinkKind::Mail ? "mailto:" + address : address;
}

std::string_view CommandBeforePlaceholder(std::string_view commandLine) {
  for (std::string_view placeholder : {"\"%1\"", "%1"}) {
    if (const size_t at = commandLine.find(placeholder); at != std::string_view::npos) {
      return commandLine.substr(0, at);
    }
  }
  return commandLine;
}

bool OpenLink(LinkShell& shell, std::string_view target) {
  constexpr intptr_t kLastError = 32;  // results up to this are errors
  if (shell.Open(target) > kLastError) return true;
  // The shell has no handler for it (or fails to start one): the program
  // that opens web pages takes addresses of every kind on its command line.
  const std::optional<std::string> webPageClass = shell.ClassesRootDefault(".htm");
  if (!webPageClass) return false;
  const std::optional<std::string> command = shell.ClassesRootDefault(*webPageClass + "\\shell\\open\\command");
  if (!command) return false;
  std::string line(CommandBeforePlaceholder(*command));
  line += ' ';
  line += target;
  return shell.Run(line) > kLastError;
}

Colour LinkColour(const Control& link) {
  if (link.hover) return link.layout->hoverColour;
  return link.visited ? link.layout->visitedColour : link.textColour;
}

// The links' half of the facility: a click opens the link's target.
void Facility::LinkClicked(Control& c) {
  const std::string target = LinkTarget(c);
  if (target.empty() || links_ == nullptr) return;
  c.visited = OpenLink(*links_, target);
  backend_.MirrorControl(c, Prop::Links);
}

}  // namespace ui
