#include "base/bound_functions.h"

#include "base/process.h"

namespace {

struct Entry {
  const char* name;
  const char* library;
};

constexpr Entry kEntries[kBoundCount] = {
#define COUNTDOWN_ENTRY(entry, name, library, signature) {name, library},
    COUNTDOWN_BOUND_FUNCTIONS(COUNTDOWN_ENTRY)
#undef COUNTDOWN_ENTRY
};

}  // namespace

const char* BoundName(Bound entry) { return kEntries[static_cast<int>(entry)].name; }
const char* BoundLibrary(Bound entry) { return kEntries[static_cast<int>(entry)].library; }

std::string BindFailureText(std::string_view name) {
  return "运行时出错!\n\n错误信息：无法找到指定DLL库文件中的输出命令“" + std::string(name) + "”";
}

BoundFunction BindFunction(SystemLibraries& system, ProcessControl& process, Bound entry) {
  const char* name = BoundName(entry);
  if (const char* own = BoundLibrary(entry)) {
    void* module = system.Load(own);
    void* address = module ? system.Find(module, name) : nullptr;
    return address ? BoundFunction{address, module} : BoundFunction{};
  }
  for (const char* library : kSearchedLibraries) {
    void* module = system.Load(library);
    if (module == nullptr) continue;
    if (void* address = system.Find(module, name)) return {address, module};
    system.Release(module);
  }
  process.Fail(BindFailureText(name), -1);
  return {};
}
