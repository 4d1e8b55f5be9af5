#include "driver.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <utility>

namespace e2e {

namespace {

namespace fs = std::filesystem;

constexpr DWORD kMessageTimeoutMs = 2000;
constexpr DWORD kSettleMs = 50;

std::runtime_error Failure(const std::wstring& what) {
  const DWORD error = GetLastError();
  return std::runtime_error(Utf8(what) + " (error " + std::to_string(error) + ")");
}

std::wstring Environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) {
    return {};
  }
  std::wstring value(size, L'\0');
  const DWORD got = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(got < size ? got : 0);
  return value;
}

fs::path ModuleDir() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) {
      return L".";
    }
    if (got < path.size()) {
      path.resize(got);
      break;
    }
    path.resize(path.size() * 2);
  }
  return fs::path(path).parent_path();
}

// Deletes dir with everything in it; true once it is gone. Whatever was made
// read-only is made writable first, so that it can go too.
bool DeleteTree(const fs::path& dir) {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  }
  fs::remove_all(dir, ec);
  return !ec;
}

bool WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

std::optional<std::string> ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             result ? result : &ignored) != 0;
}

struct ProcessWindows {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ProcessWindows*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid) {
    search->found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

// ---- SendInput helpers ----

// Maps a screen pixel to the 0..65535 range over the virtual screen, aiming at
// the middle of the pixel's share so that either rounding rule lands on it.
LONG Normalise(int pixel, int origin, int extent) {
  if (extent <= 0) {
    return 0;
  }
  const long long offset = static_cast<long long>(pixel) - origin;
  long long value = ((2 * offset + 1) * 65536) / (2LL * extent);
  if (value < 0) {
    value = 0;
  }
  if (value > 65535) {
    value = 65535;
  }
  return static_cast<LONG>(value);
}

void SendMouse(POINT at, DWORD buttons, DWORD data = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = Normalise(at.x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
  input.mi.dy = Normalise(at.y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
  input.mi.mouseData = data;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | buttons;
  SendInput(1, &input, sizeof(INPUT));
}

// The last button press sent, so that two separate clicks on one spot are
// never taken for a double-click (a quick Click after Click would otherwise
// arrive as WM_LBUTTONDBLCLK, and in an edit box select a word).
struct LastPress {
  ULONGLONG tick = 0;
  POINT at{};
  DWORD button = 0;
};
LastPress lastPress;

void NotePress(POINT at, DWORD button) { lastPress = LastPress{GetTickCount64(), at, button}; }

void WaitOutDoubleClick(POINT at, DWORD button) {
  if (lastPress.button != button || std::abs(at.x - lastPress.at.x) > GetSystemMetrics(SM_CXDOUBLECLK) ||
      std::abs(at.y - lastPress.at.y) > GetSystemMetrics(SM_CYDOUBLECLK)) {
    return;
  }
  const ULONGLONG ready = lastPress.tick + GetDoubleClickTime() + 50;
  const ULONGLONG now = GetTickCount64();
  if (now < ready) {
    Sleep(static_cast<DWORD>(ready - now));
  }
}

// One press and release that starts no double-click.
void Press(POINT at, DWORD down, DWORD up) {
  WaitOutDoubleClick(at, down);
  SendMouse(at, down);
  SendMouse(at, up);
  NotePress(at, down);
}

bool IsExtendedKey(WORD vk) {
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_APPS:
    case VK_LWIN:
    case VK_RWIN:
    case VK_SNAPSHOT: return true;
    default: return false;
  }
}

void SendKey(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
  SendInput(1, &input, sizeof(INPUT));
}

void SendUnicode(wchar_t unit) {
  std::array<INPUT, 2> inputs{};
  for (size_t i = 0; i < inputs.size(); ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wScan = static_cast<WORD>(unit);
    inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Activates the top-level window of target unless that would be wrong: a
// disabled window (it has a modal window up, and the user could not activate
// it either) or a pop-up menu (clicking one never activates it).
void ActivateForClick(HWND target) {
  HWND root = GetAncestor(target, GA_ROOT);
  if (!root || root == GetForegroundWindow() || !IsWindowEnabled(root) || ClassName(root) == L"#32768") {
    return;
  }
  Activate(root);
}

std::wstring SafeFileName(const std::wstring& name) {
  std::wstring safe = name;
  for (wchar_t& ch : safe) {
    if (ch < 32 || std::wstring_view(L"<>:\"/\\|?*").find(ch) != std::wstring_view::npos) {
      ch = L'_';
    }
  }
  return safe.empty() ? L"_" : safe;
}

}  // namespace

// ---- Paths ----

std::wstring DosPath(const std::wstring& path) {
  const bool hasDrive = path.size() >= 2 && path[1] == L':';
  const bool unc = path.rfind(L"\\\\", 0) == 0;
  if (hasDrive || unc) {
    return path;
  }
  std::wstring dos = path;
  for (wchar_t& ch : dos) {
    if (ch == L'/') {
      ch = L'\\';
    }
  }
  return !path.empty() && path[0] == L'/' ? L"Z:" + dos : dos;
}

std::wstring ProgramPath() {
  const std::wstring fromEnvironment = Environment(L"COUNTDOWN_EXE");
  return fromEnvironment.empty() ? (ModuleDir() / L"countdown.exe").wstring() : DosPath(fromEnvironment);
}

std::wstring ArtifactsDir() {
  const std::wstring fromEnvironment = Environment(L"E2E_ARTIFACTS");
  std::wstring dir = fromEnvironment.empty() ? (ModuleDir() / L"e2e-artifacts").wstring() : DosPath(fromEnvironment);
  while (dir.size() > 3 && dir.back() == L'\\') {
    dir.pop_back();
  }
  std::error_code ec;
  fs::create_directories(dir, ec);
  return dir;
}

// ---- Program ----

Program Program::Start(std::optional<std::string> settingsBytes, const std::vector<std::wstring>& besideFiles) {
  return StartWith({std::move(settingsBytes), besideFiles, {}, {}});
}

Program Program::StartWith(const StartOptions& options) {
  const std::optional<std::string>& settingsBytes = options.settingsBytes;
  const std::vector<std::wstring>& besideFiles = options.besideFiles;
  static std::atomic<unsigned> counter{0};
  const std::wstring source = ProgramPath();
  if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES) {
    throw Failure(L"program not found: " + source);
  }

  std::wstring temp(MAX_PATH + 1, L'\0');
  temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
  if (temp.empty()) {
    throw Failure(L"GetTempPathW failed");
  }

  Program program;
  for (int attempt = 0; program.folder_.empty(); ++attempt) {
    const std::wstring name = L"countdown-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter++) + L"-" + std::to_wstring(GetTickCount()) +
                              options.folderSuffix;
    const std::wstring candidate = (fs::path(temp) / name).wstring();
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      program.folder_ = candidate;
    } else if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 100) {
      throw Failure(L"cannot create " + candidate);
    }
  }

  program.exe_ = (fs::path(program.folder_) / fs::path(source).filename()).wstring();
  if (!CopyFileW(source.c_str(), program.exe_.c_str(), FALSE)) {
    throw Failure(L"cannot copy " + source + L" to " + program.exe_);
  }
  if (settingsBytes && !WriteBytes(program.SettingsPath(), *settingsBytes)) {
    throw Failure(L"cannot write " + program.SettingsPath());
  }
  for (const std::wstring& file : besideFiles) {
    if (!CopyFileW(file.c_str(), (fs::path(program.folder_) / fs::path(file).filename()).c_str(), FALSE)) {
      throw Failure(L"cannot copy " + file + L" beside the program");
    }
  }

  if (options.prepare) {
    options.prepare(program.folder_);
  }

  std::wstring commandLine = L"\"" + program.exe_ + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.exe_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      program.folder_.c_str(), &startup, &info)) {
    throw Failure(L"cannot start " + program.exe_);
  }
  const OwnedHandle thread(info.hThread);  // its first thread: not kept
  program.process_.reset(info.hProcess);
  program.pid_ = info.dwProcessId;
  // Fails harmlessly if the program ends or never reads input; the tests
  // wait for what they need to see anyway.
  WaitForInputIdle(program.process_.get(), 10000);
  return program;
}

Program::Program(Program&& other) noexcept
    : process_(std::move(other.process_)),
      pid_(std::exchange(other.pid_, 0)),
      folder_(std::move(other.folder_)),
      exe_(std::move(other.exe_)) {
  other.folder_.clear();
  other.exe_.clear();
}

Program& Program::operator=(Program&& other) noexcept {
  if (this != &other) {
    Release();
    process_ = std::move(other.process_);
    pid_ = std::exchange(other.pid_, 0);
    folder_ = std::move(other.folder_);
    exe_ = std::move(other.exe_);
    other.folder_.clear();
    other.exe_.clear();
  }
  return *this;
}

Program::~Program() { Release(); }

void Program::Release() noexcept {
  if (process_) {
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.get(), 1);
      WaitForSingleObject(process_.get(), 10000);
    }
    process_.reset();  // closed before its folder goes
  }
  if (!folder_.empty()) {
    // The image may stay locked a moment after the process is gone.
    for (int attempt = 0; attempt < 20 && !DeleteTree(folder_); ++attempt) {
      Sleep(100);
    }
    folder_.clear();
  }
  pid_ = 0;
  exe_.clear();
}

std::vector<HWND> Program::Windows() const {
  ProcessWindows search{pid_, {}};
  EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Program::WaitWindow(const std::wstring& caption, DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : Windows()) {
          if (Text(window) == caption) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

HWND Program::WaitVisibleWindow(const std::wstring& caption, DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : Windows()) {
          if (IsWindowVisible(window) && Text(window) == caption) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

HWND Program::WaitMenu(DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : Windows()) {
          if (IsWindowVisible(window) && ClassName(window) == L"#32768") {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

std::wstring Program::SettingsPath() const { return (fs::path(folder_) / L"lkd.dll").wstring(); }

bool Program::SettingsExists() const { return GetFileAttributesW(SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Program::SettingsBytes() const { return ReadBytes(SettingsPath()).value_or(std::string()); }

bool Program::WaitExit(DWORD timeoutMs, DWORD* exitCode) const {
  if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
    return false;
  }
  if (exitCode) {
    GetExitCodeProcess(process_.get(), exitCode);
  }
  return true;
}

bool Program::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

void Program::Kill() {
  if (Running()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
  }
}

Stall::Stall(HWND window) {
  const DWORD id = GetWindowThreadProcessId(window, nullptr);
  if (id) thread_.reset(OpenThread(THREAD_SUSPEND_RESUME, FALSE, id));
  if (thread_ && SuspendThread(thread_.get()) == static_cast<DWORD>(-1)) thread_.reset();
}

Stall::~Stall() {
  if (thread_) ResumeThread(thread_.get());
}

// ---- Reading windows ----

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> found;
  EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND Control(HWND window, uint32_t id) {
  for (HWND child : Descendants(window)) {
    if (static_cast<uint32_t>(GetWindowLongW(child, GWL_ID)) == id) {
      return child;
    }
  }
  return nullptr;
}

std::wstring Text(HWND window) {
  DWORD_PTR length = 0;
  if (!window || !SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied)) {
    return {};
  }
  text.resize(copied < length ? copied : length);
  // WM_GETTEXTLENGTH may overstate; the copy is NUL-terminated.
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

std::wstring ClassName(HWND window) {
  std::array<wchar_t, 256> name{};
  const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
  return std::wstring(name.data(), length > 0 ? static_cast<size_t>(length) : 0);
}

int CheckState(HWND button) {
  DWORD_PTR state = 0;
  return SendWithTimeout(button, BM_GETCHECK, 0, 0, &state) ? static_cast<int>(state) : -1;
}

HWND Focus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool Enabled(HWND window) { return IsWindowEnabled(window) != 0; }

bool Visible(HWND window) { return IsWindowVisible(window) != 0; }

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ClientRectOnScreen(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

LONG ExStyle(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE); }

HWND Owner(HWND window) { return GetWindow(window, GW_OWNER); }

bool LayeredAlpha(HWND window, BYTE* alpha) {
  if (!(ExStyle(window) & WS_EX_LAYERED)) {
    return false;
  }
  COLORREF key = 0;
  BYTE value = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(window, &key, &value, &flags) || !(flags & LWA_ALPHA)) {
    return false;
  }
  if (alpha) {
    *alpha = value;
  }
  return true;
}

POINT Centre(const RECT& rect) {
  return POINT{rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

POINT Centre(HWND window) { return Centre(WindowRect(window)); }

// ---- Input ----

bool Activate(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  if (!root) {
    return false;
  }
  if (GetForegroundWindow() == root) {
    return true;
  }
  SetForegroundWindow(root);
  if (WaitUntil([&] { return GetForegroundWindow() == root; }, 500)) {
    return true;
  }
  // Windows refuses the foreground to a process that is not in front; joining
  // the input of the front window's thread lifts that.
  const DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const DWORD self = GetCurrentThreadId();
  const bool attached = front && front != self && AttachThreadInput(self, front, TRUE);
  BringWindowToTop(root);
  SetForegroundWindow(root);
  if (attached) {
    AttachThreadInput(self, front, FALSE);
  }
  return WaitUntil([&] { return GetForegroundWindow() == root; }, 1000);
}

void MoveMouse(POINT at) {
  SendMouse(at, 0);
  Sleep(kSettleMs);
}

DWORD TimedMouseMove() {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = 1;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  const DWORD before = GetTickCount();
  SendInput(1, &input, sizeof input);
  return GetTickCount() - before;
}

void Click(POINT at) {
  SendMouse(at, 0);
  Sleep(20);
  Press(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  Sleep(kSettleMs);
}

void Click(HWND target) {
  ActivateForClick(target);
  Click(Centre(target));
}

void DoubleClick(POINT at) {
  SendMouse(at, 0);
  Sleep(20);
  Press(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  Sleep(30);  // far inside any double-click time
  SendMouse(at, MOUSEEVENTF_LEFTDOWN);
  SendMouse(at, MOUSEEVENTF_LEFTUP);
  NotePress(at, MOUSEEVENTF_LEFTDOWN);
  Sleep(kSettleMs);
}

void DoubleClick(HWND target) {
  ActivateForClick(target);
  DoubleClick(Centre(target));
}

void RightClick(POINT at) {
  SendMouse(at, 0);
  Sleep(20);
  Press(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  Sleep(kSettleMs);
}

void RightClick(HWND target) {
  ActivateForClick(target);
  RightClick(Centre(target));
}

void MouseDown(POINT at) {
  SendMouse(at, 0);
  Sleep(30);
  WaitOutDoubleClick(at, MOUSEEVENTF_LEFTDOWN);
  SendMouse(at, MOUSEEVENTF_LEFTDOWN);
  NotePress(at, MOUSEEVENTF_LEFTDOWN);
  Sleep(50);
}

void MouseUp(POINT at) {
  SendMouse(at, MOUSEEVENTF_LEFTUP);
  Sleep(kSettleMs);
}

void MoveMouseSteps(POINT from, POINT to) {
  constexpr int kSteps = 10;
  for (int step = 1; step <= kSteps; ++step) {
    const POINT at{from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps};
    SendMouse(at, 0);
    Sleep(20);
  }
  Sleep(30);
}

void Drag(POINT from, POINT to) {
  MouseDown(from);
  MoveMouseSteps(from, to);
  MouseUp(to);
}

void Wheel(POINT at, int delta) {
  SendMouse(at, 0);
  Sleep(20);
  SendMouse(at, MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta));
  Sleep(kSettleMs);
}

void WheelBurst(POINT at, const std::vector<int>& deltas) {
  SendMouse(at, 0);
  Sleep(20);
  for (const int delta : deltas) {
    SendMouse(at, MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta));
  }
  Sleep(kSettleMs);
}

void TypeText(const std::wstring& text) {
  for (const wchar_t unit : text) {
    if (unit == L'\r' || unit == L'\n') {
      SendKey(VK_RETURN, false);
      SendKey(VK_RETURN, true);
    } else if (unit == L'\t') {
      SendKey(VK_TAB, false);
      SendKey(VK_TAB, true);
    } else {
      SendUnicode(unit);
    }
    Sleep(5);
  }
  Sleep(kSettleMs);
}

void PressKey(WORD vk) {
  SendKey(vk, false);
  SendKey(vk, true);
  Sleep(kSettleMs);
}

void PressKeys(std::initializer_list<WORD> vks) {
  for (const WORD vk : vks) {
    SendKey(vk, false);
  }
  for (auto it = std::rbegin(vks); it != std::rend(vks); ++it) {
    SendKey(*it, true);
  }
  Sleep(kSettleMs);
}

void SelectAll() { PressKeys({VK_CONTROL, 'A'}); }

namespace {

// The selection's ends, from EM_GETSEL's result (no pointers to carry across).
std::pair<DWORD, DWORD> SelectedRange(HWND edit) {
  DWORD_PTR both = 0;
  SendWithTimeout(edit, EM_GETSEL, 0, 0, &both);
  return {LOWORD(both), HIWORD(both)};
}

// Keys go to the focus of the window in front: a box hears them once its own
// window is in front and it has the focus there.
bool HearsKeys(HWND edit) { return GetForegroundWindow() == GetAncestor(edit, GA_ROOT) && Focus(edit) == edit; }

}  // namespace

void ClickAndSelectAll(HWND edit) {
  // All selected first, so that the click shows it has arrived: it leaves the
  // caret alone. A click that has not arrived in two seconds is made again.
  for (int attempt = 0; attempt < 2; ++attempt) {
    SendWithTimeout(edit, EM_SETSEL, 0, -1, nullptr);
    Click(edit);
    if (WaitUntil(
            [&] {
              const auto [from, to] = SelectedRange(edit);
              return HearsKeys(edit) && (from == to || Text(edit).empty());
            },
            2000)) {
      break;
    }
  }
  SendWithTimeout(edit, EM_SETSEL, 0, -1, nullptr);
}

bool WaitReadyToReplace(HWND edit, DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        return HearsKeys(edit) &&
               SelectedRange(edit) == std::pair<DWORD, DWORD>(0, static_cast<DWORD>(Text(edit).size()));
      },
      timeoutMs);
}

void TypeInto(HWND edit, const std::wstring& text) {
  ClickAndSelectAll(edit);
  if (!WaitReadyToReplace(edit)) {
    const HWND front = GetForegroundWindow();
    throw Failure(L"the box is not ready for keys: in front is \"" + Text(front) + L"\" (" + ClassName(front) +
                  L"), the box's focus " + (Focus(edit) == edit ? L"is" : L"is not") + L" on it");
  }
  TypeText(text);
}

// ---- Waiting ----

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (cond()) {
      return true;
    }
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(20);
  }
}

bool WaitText(HWND window, const std::wstring& expected, DWORD timeoutMs) {
  return WaitUntil([&] { return Text(window) == expected; }, timeoutMs);
}

// ---- The machine Wine runs on ----

bool RunOnHost(const std::string& command, DWORD timeoutMs) {
  // Wine runs a Unix program given by its path but hands back no process to
  // wait for: the shell leaves its status in a file once it is done.
  const std::string status = "/tmp/countdown-e2e-" + std::to_string(GetCurrentProcessId());
  std::wstring line =
      Wide("Z:\\bin\\sh -c \"" + command + "; echo $? >" + status + "~ && mv " + status + "~ " + status + "\"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  const OwnedHandle process(started.hProcess), thread(started.hThread);
  const fs::path file(DosPath(Wide(status)));
  std::string code;
  const bool ended = WaitUntil([&] { return static_cast<bool>(std::ifstream(file) >> code); }, timeoutMs);
  std::error_code ignored;
  fs::remove(file, ignored);
  return ended && code == "0";
}

// ---- Pixels and pictures ----

COLORREF ScreenPixel(int x, int y) {
  const WindowDc screen(nullptr);
  return screen.get() ? GetPixel(screen.get(), x, y) : CLR_INVALID;
}

COLORREF ScreenImage::At(int x, int y) const {
  const DWORD bgr = bits[static_cast<size_t>(y - area.top) * (area.right - area.left) + (x - area.left)];
  return RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));  // GDI's order is the reverse of a COLORREF's
}

ScreenImage CaptureScreen(const RECT& rect) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  RECT screenRect{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  ScreenImage image;
  if (!IntersectRect(&image.area, &rect, &screenRect)) return {};
  const int width = image.area.right - image.area.left;
  const int height = image.area.bottom - image.area.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const WindowDc screen(nullptr);
  const OwnedMemoryDc memory(screen.get() ? CreateCompatibleDC(screen.get()) : nullptr);
  void* bits = nullptr;
  const OwnedBitmap bitmap(memory ? CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr);
  if (!bitmap || bits == nullptr) return {};
  {
    const Selection selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), image.area.left, image.area.top,
                SRCCOPY | CAPTUREBLT)) {
      return {};
    }
    GdiFlush();
  }
  const auto* first = static_cast<const DWORD*>(bits);
  image.bits.assign(first, first + static_cast<size_t>(width) * height);
  return image;
}

std::wstring SaveScreenshot(const RECT& rect, const std::wstring& name) {
  const ScreenImage image = CaptureScreen(rect);
  if (image.empty()) return {};
  // A plain 32-bit BMP, rows top to bottom: the header and the pixels as
  // GDI hands them over. The test environment turns it into a PNG.
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = image.area.right - image.area.left;
  info.biHeight = -(image.area.bottom - image.area.top);
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  const size_t pixelBytes = image.bits.size() * sizeof(DWORD);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixelBytes);
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes.append(reinterpret_cast<const char*>(image.bits.data()), pixelBytes);
  const std::wstring path = (fs::path(ArtifactsDir()) / (SafeFileName(name) + L".bmp")).wstring();
  return WriteBytes(path, bytes) ? path : std::wstring();
}

std::wstring SaveWindowShot(HWND window, const std::wstring& name) {
  if (!IsWindow(window)) return {};
  return SaveScreenshot(WindowRect(window), name);
}

}  // namespace e2e
