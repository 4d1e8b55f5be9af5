#include "desktop/declared.h"

#include "app/program.h"

namespace {

constexpr const char* kNames[kDeclaredCount] = {
    "GetWindowLongA", "SetWindowLongA", "SetLayeredWindowAttributes", "GetCurrentThreadId", "RegisterWindowMessageA",
    "CreateThread", "CloseHandle", "PeekMessageA", "GetMessageA", "TranslateMessage",
    "DispatchMessageA", "PostThreadMessageA", "RtlMoveMemory", "Sleep", "ShellExecuteA",
    "IsWindow", "CreateThread", "PostMessageA", "GetTickCount", "GetWindowRect",
    "MoveWindow", "CreateWaitableTimerA", "SetWaitableTimer", "MsgWaitForMultipleObjects", "UnhookWindowsHookEx",
    "GetModuleHandleA", "SetWindowsHookExA", "GetCursorPos", "EnumDisplaySettingsA", "CallNextHookEx",
};

}  // namespace

const char* DeclaredName(Declared entry) { return kNames[static_cast<int>(entry)]; }

std::string DeclaredFailureText(std::string_view name) {
  return "运行时出错!\n\n错误信息：无法找到指定DLL库文件中的输出命令“" + std::string(name) + "”";
}

BoundFunction BindDeclared(SystemLibraries& system, ProcessControl& process, std::string_view name) {
  const std::string symbol(name);
  for (const char* library : kDeclaredLibraries) {
    void* module = system.Load(library);
    if (module == nullptr) continue;
    if (void* address = system.Find(module, symbol.c_str())) return {address, module};
    system.Release(module);
  }
  process.Fail(DeclaredFailureText(name), -1);
  return {};
}
