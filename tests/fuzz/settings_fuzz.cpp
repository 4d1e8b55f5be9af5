// Whatever a user types or a settings file holds, the readings never fail and
// the program started from such a file counts and shows its time as it
// should. The input is one text, a settings file's bytes, and also a
// settings file of "key=value" lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/countdown.h"
#include "app/settings_window.h"
#include "settings/profile.h"
#include "tests/host/fakes.h"
#include "ui/number_reading.h"

namespace {

test::Entries ParseLines(std::string_view input) {
  test::Entries entries;
  while (!input.empty()) {
    const size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos) entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return entries;
}

void Require(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "settings_fuzz.cpp:%d: requirement failed\n", line);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const int32_t integer = ui::IntegerReading(input);
  Require(ui::IntegerReading(ui::FoldFullWidth(input)) == integer);
  Require(ui::IntegerReading(std::to_string(integer)) == integer);
  ui::PlainIntegerReading(input);
  ui::TruncToInt32(ui::NumberReading(input));
  ui::DecimalRewrite(input);
  Require(DisplayPart(integer).size() >= 2);

  // Whatever the file holds, a key written reads back as written, and a
  // second write of it changes nothing more.
  const std::string written = profile::Write(input, "\xC5\xE4\xD6\xC3\xD0\xC5\xCF\xA2", "k", "7");
  Require(profile::Read(written, "\xC5\xE4\xD6\xC3\xD0\xC5\xCF\xA2", "K") == "7");
  Require(profile::Write(written, "\xC5\xE4\xD6\xC3\xD0\xC5\xCF\xA2", "k", "7") == written);

  test::Harness h(ParseLines(input));
  for (int round = 0; round < 2; ++round) {
    h.Click(test::s::开始计时按钮);
    h.Tick(3);
    // Two digits, a hyphen, two digits, whatever the time entered.
    const std::string& shown = h.Display();
    Require(shown.size() == 5 && shown[2] == '-');
    h.Choose(test::m::归零菜单);
  }
  return 0;
}
