// Test doubles for the system services, and a harness that starts the whole
// program on the portable model and drives it the way the Win32 backend does.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/bindings.h"
#include "app/control_ids.h"
#include "app/lifetime.h"
#include "app/program.h"
#include "ui/links.h"

namespace test {

namespace m = main_window;
namespace s = settings_window;
using KeyValue = std::pair<std::string, std::string>;
using Entries = std::vector<KeyValue>;

struct FakeBackend : ui::Backend {
  struct WindowUpdate {
    uint32_t window;
    ui::WindowProp prop;
    int width, height;
  };
  ui::Facility* facility = nullptr;  // for RunModal
  std::vector<std::pair<uint32_t, ui::Prop>> updates;
  std::vector<WindowUpdate> windowUpdates;
  std::vector<uint32_t> destroyed;
  std::vector<uint32_t> failToCreate;  // windows whose creation fails

  void ScreenSize(int& w, int& h) override { w = 1280, h = 1024; }
  int64_t now = 0;                                 // the monotonic clock, in ms
  std::vector<std::pair<uint32_t, int64_t>> arms;  // each timer wait asked for, -1 to stop
  int64_t Now() override { return now; }
  void ArmTimer(ui::Control& c, int64_t ms) override { arms.emplace_back(c.id(), ms); }
  bool Create(ui::Window& w) override {
    return std::find(failToCreate.begin(), failToCreate.end(), w.layout.id) == failToCreate.end();
  }
  std::vector<std::pair<uint32_t, bool>> enabledAtDestroy;  // the other windows, when one is destroyed
  void Destroy(ui::Window& w) override {
    destroyed.push_back(w.layout.id);
    for (const auto& other : facility->windows()) {
      if (other.get() != &w) enabledAtDestroy.emplace_back(other->layout.id, other->enabled);
    }
  }
  void MirrorControl(ui::Control& c, ui::Prop p) override { updates.emplace_back(c.id(), p); }
  void MirrorWindow(ui::Window& w, ui::WindowProp p) override {
    windowUpdates.push_back({w.layout.id, p, w.width, w.height});
  }
  std::vector<std::vector<ui::MenuEntry>> menusShown;
  uint32_t menuChoice = 0;  // what the user picks from the next menu
  uint32_t PopUpMenu(ui::Window&, const std::vector<ui::MenuEntry>& entries) override {
    menusShown.push_back(entries);
    return std::exchange(menuChoice, 0);
  }
  std::vector<std::pair<uint32_t, bool>> enabledDuringModal;  // the other windows, while it ran
  std::function<void(ui::Window&)> duringModal;               // what else happens while a modal window is up
  void RunModal(ui::Window& w) override {
    for (const auto& other : facility->windows()) {
      if (other.get() != &w) enabledDuringModal.emplace_back(other->layout.id, other->enabled);
    }
    if (duringModal) duringModal(w);
    facility->Destroy(w);   // the user closes it at once...
    facility->Unloaded(w);  // ...and the window system carries that out
  }
};

// An INI section in memory: a new key is appended, an existing one replaced in place.
struct FakeStore : SettingsStore {
  Entries file, writes;
  Entries::iterator Find(std::string_view key) {
    return std::find_if(file.begin(), file.end(), [key](const KeyValue& e) { return e.first == key; });
  }
  std::string Read(std::string_view key, std::string_view fallback) override {
    const auto it = Find(key);
    return it == file.end() ? std::string(fallback) : it->second;
  }
  bool Write(std::string_view key, std::string_view value) override {
    writes.emplace_back(key, value);
    const auto it = Find(key);
    if (it != file.end())
      it->second = value;
    else
      file.emplace_back(key, value);
    return true;
  }
};

struct FakeSound : Sound {
  int beeps = 0, applause = 0, stops = 0;
  void Beep() override { ++beeps; }
  void PlayApplause() override { ++applause; }
  void Stop() override { ++stops; }
};

struct FakeDelay : Delay {
  std::vector<int> delays;
  std::function<void()> meanwhile;  // what the user-interface thread handles during a wait
  int ends = 0;
  void Wait(DelayRequest& request, int ms) override {
    request.milliseconds = ms;
    delays.push_back(ms);
    if (meanwhile) meanwhile();
  }
  void End() override { ++ends; }
};

struct FakeInputBox : InputBox {
  std::optional<std::string> answer;
  std::string prompt, initial;
  std::optional<std::string> Ask(std::string_view p, std::string_view i) override {
    prompt = p, initial = i;
    return answer;
  }
};

struct FakeShell : Shell {
  std::vector<std::vector<std::string>> calls;  // operation, file, parameters, directory, show
  intptr_t result = 42;
  intptr_t Execute(std::string_view operation, std::string_view file, std::string_view parameters,
                   std::string_view directory, int show) override {
    calls.push_back({std::string(operation), std::string(file), std::string(parameters), std::string(directory),
                     std::to_string(show)});
    return result;
  }
};

// The shell, the registry's classes and WinExec as a link sees them; what it
// was asked, in order: "open <target>", "read <key>", "run <command line>".
struct FakeLinkShell : ui::LinkShell {
  std::vector<std::string> calls;
  intptr_t openResult = 42;
  std::map<std::string, std::string> classes;  // default values under HKEY_CLASSES_ROOT
  uint32_t runResult = 33;
  intptr_t Open(std::string_view target) override {
    calls.push_back("open " + std::string(target));
    return openResult;
  }
  std::optional<std::string> ClassesRootDefault(std::string_view key) override {
    calls.push_back("read " + std::string(key));
    const auto it = classes.find(std::string(key));
    return it == classes.end() ? std::nullopt : std::optional(it->second);
  }
  uint32_t Run(std::string_view commandLine) override {
    calls.push_back("run " + std::string(commandLine));
    return runResult;
  }
};

// Ends as the real one does, the program's end first, but returns.
struct FakeProcess : ProcessControl {
  std::vector<int> exitCodes;
  std::vector<std::string> failures;
  std::function<void()> whileTelling;  // what the message box's loop handles while it is up
  void Exit(int code) override {
    exitCodes.push_back(code);
    RunEnd();
  }
  void Fail(std::string_view message, int code) override {
    failures.emplace_back(message);
    exitCodes.push_back(code);
    RunEnd();
    if (whileTelling) whileTelling();
  }
};

// What the program asked of the desktop, in order: "alpha 80", "hide on",
// "hide off", "bring back".
struct FakeDesktop : Desktop {
  std::vector<std::string> calls;
  ui::Window* target = nullptr;
  void SetWindowAlpha(ui::Window&, uint8_t alpha) override { calls.push_back("alpha " + std::to_string(alpha)); }
  void SetAutoHide(ui::Window* window, int32_t margin) override {
    calls.push_back(window ? "hide on" + (margin ? " " + std::to_string(margin) : std::string()) : "hide off");
    if (window) target = window;
  }
  void BringBackFromEdge(ui::Window& window) override {
    calls.push_back("bring back");
    target = &window;
  }
  void End() override { calls.push_back("end"); }
};

// The program just after start-up, from the given settings file content.
struct Harness {
  FakeBackend backend;
  ui::Facility facility{backend};
  FakeStore store;
  FakeSound sound;
  FakeDelay delay;
  FakeInputBox inputBox;
  FakeShell shell;
  FakeProcess process;
  FakeDesktop desktop;
  FakeLinkShell links;
  Program program{facility, Services{store, sound, delay, inputBox, shell, process, desktop}, kProgramWindows};

  explicit Harness(Entries file = {}, std::vector<uint32_t> failToCreate = {}) {
    backend.facility = &facility;
    facility.SetLinkShell(&links);
    backend.failToCreate = std::move(failToCreate);
    store.file = std::move(file);
    // A second's timer events, as a failure's box would let them through.
    process.whileTelling = [this] {
      backend.now += 1000;
      for (const auto& w : std::vector(facility.windows())) {
        for (const ui::Control& c : w->controls) facility.TimerFired(*w, c.id());
      }
    };
    StartProgram(program);
  }
  ui::Window& Main() { return *program.main; }
  ui::Window& Settings() { return *program.settings; }
  ui::Control& Box(uint32_t id) { return Settings().Get(id); }
  ui::Control& Label() { return Main().Get(m::显示时间标签); }
  ui::Control& Clock() { return Main().Get(m::时钟1); }
  ui::Control& StartButton() { return Box(s::开始计时按钮); }
  ui::MenuItem& Item(uint32_t id) { return Main().Item(id); }
  const std::string& Display() { return Label().text; }

  void Type(uint32_t box, std::string text) { facility.UserEdited(Box(box), std::move(text)); }
  void Wheel(uint32_t box, int notches) { facility.Raise(Settings(), box, ui::EventKind::Wheel, {.notches = notches}); }
  void Click(uint32_t control) { facility.Raise(Settings(), control, ui::EventKind::Clicked); }
  void Choose(uint32_t item) { facility.Raise(Main(), item, ui::EventKind::Clicked); }
  void Toggle(uint32_t box, bool on) { facility.UserToggled(Box(box), on); }
  void Tick(int times = 1) {
    for (int i = 0; i < times; ++i) facility.Raise(Main(), m::时钟1, ui::EventKind::Elapsed);
  }
};

}  // namespace test
