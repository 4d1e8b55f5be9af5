// The settings file's writes, timed in one process: the program's own store
// against the system's private-profile function on a file of the same bytes.
// Console program, run under Wine from a folder of its own (the store keeps
// lkd.dll beside the executable).
//
//   settings_writes <n>   n writes of one key of ten, each to a value it did
//                         not hold; then a burst of 60 wheel notches over the
//                         font size, written twice a notch as the wheel does.
//                         Prints the median and 95th percentile of one write
//                         and the burst's total, in milliseconds, for each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/encoding_win.h"
#include "settings/settings_file_win.h"

namespace {

constexpr char kTen[] =
    "[配置信息]\r\n背景颜色=65280\r\n文字颜色=0\r\n字体大小=72\r\n窗口高度=90\r\n窗口宽度=280\r\n时间=5\r\n"
    "半透明=否\r\n鼓掌=是\r\n警告音=是\r\n自动隐藏=是\r\n";

double Now() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<size_t>(std::max(1.0, p * static_cast<double>(values.size()) + 0.999));
  return values[std::min(rank, values.size()) - 1];
}

// Times `write` for n single writes and for a burst, and prints the figures.
template <class Write>
void Measure(const char* who, int n, Write write) {
  std::vector<double> single;
  for (int i = 0; i < n; ++i) {
    const double start = Now();
    write("时间", std::to_string(i % 2 ? 5 : 6));
    single.push_back(Now() - start);
  }
  const double start = Now();
  for (int size = 73; size < 73 + 60; ++size) {
    for (int again = 0; again < 2; ++again) write("字体大小", std::to_string(size));
  }
  std::printf("%s_median %.3f\n%s_p95 %.3f\n%s_burst %.1f\n", who, Percentile(single, 0.5), who,
              Percentile(single, 0.95), who, Now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  const std::wstring ours = SettingsFilePath(), theirs = ours + L".profile";
  for (const std::wstring& path : {ours, theirs})
    std::ofstream(std::filesystem::path(path), std::ios::binary) << ToCodePage(kTen, 936);
  const std::string theirsA = ToCodePage(Utf8(theirs), CP_ACP), section = ToCodePage("配置信息", 936);
  Measure("profile", n, [&](const char* key, const std::string& value) {
    WritePrivateProfileStringA(section.c_str(), ToCodePage(key, 936).c_str(), value.c_str(), theirsA.c_str());
  });
  ExecutableFolder folder;
  Win32Gbk gbk;
  FileSettingsStore store(folder, gbk);
  Measure("store", n, [&](const char* key, const std::string& value) { store.Write(key, value); });
  DeleteFileW(ours.c_str());
  DeleteFileW(theirs.c_str());
  return 0;
}
