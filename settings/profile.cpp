#include "settings/profile.h"

namespace profile {
namespace {

template <class Char>
using Text = std::basic_string<Char>;
template <class Char>
using View = std::basic_string_view<Char>;

// How many units the character at i takes. A GBK lead byte takes the next
// byte only when that is a trail byte (a line end or a quote never is).
size_t CharLength(View<char> text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x81 || lead > 0xFE || i + 1 >= text.size()) return 1;
  const auto trail = static_cast<unsigned char>(text[i + 1]);
  return trail >= 0x40 && trail != 0x7F && trail != 0xFF ? 2 : 1;
}
size_t CharLength(View<char16_t> text, size_t i) {
  const auto High = [](char16_t u) { return u >= 0xD800 && u < 0xDC00; };
  const auto Low = [](char16_t u) { return u >= 0xDC00 && u < 0xE000; };
  return High(text[i]) && i + 1 < text.size() && Low(text[i + 1]) ? 2 : 1;
}

template <class Char>
bool Blank(Char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

template <class Char>
View<Char> Trim(View<Char> s) {
  while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
  return s;
}

template <class Char>
Char Folded(Char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <class Char>
bool SameName(View<Char> a, View<Char> b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const size_t n = CharLength(a, i);
    if (CharLength(b, j) != n) return false;
    if (n == 1 ? Folded(a[i]) != Folded(b[j]) : a.substr(i, n) != b.substr(j, n)) return false;
    i += n;
    j += n;
  }
  return i == a.size() && j == b.size();
}

// Where the first unit of `wanted` stands as a character of its own in s, or
// (last) the final such place; npos when none does.
template <class Char>
size_t FindChar(View<Char> s, Char wanted, bool last = false) {
  size_t found = View<Char>::npos;
  for (size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    if (s[i] != wanted) continue;
    found = i;
    if (!last) break;
  }
  return found;
}

enum class Kind { Blank, Comment, Section, Key };

// One line of the file: where its text ends (before CR LF or LF) and where
// the next line starts, and what the text is.
template <class Char>
struct Line {
  size_t start = 0, end = 0, next = 0;
  Kind kind = Kind::Blank;
  View<Char> name;                  // the section's or the key's
  std::optional<View<Char>> value;  // a key's, after its '='
};

template <class Char>
Line<Char> LineAt(View<Char> file, size_t start) {
  Line<Char> line;
  line.start = start;
  const size_t feed = file.find(Char('\n'), start);
  line.next = feed == View<Char>::npos ? file.size() : feed + 1;
  line.end = feed == View<Char>::npos ? file.size() : feed > start && file[feed - 1] == '\r' ? feed - 1 : feed;
  const View<Char> text = Trim(file.substr(start, line.end - start));
  if (text.empty()) return line;
  if (text.front() == ';') {
    line.kind = Kind::Comment;
    return line;
  }
  // A header runs to the line's last bracket; without one the line is a key.
  const size_t close = text.front() == '[' ? FindChar(text, Char(']'), true) : View<Char>::npos;
  if (close != View<Char>::npos) {
    line.kind = Kind::Section;
    line.name = text.substr(1, close - 1);
    return line;
  }
  line.kind = Kind::Key;
  const size_t equals = FindChar(text, Char('='));
  line.name = Trim(text.substr(0, equals));
  if (equals != View<Char>::npos) line.value = Trim(text.substr(equals + 1));
  return line;
}

// Walks the lines of the named section, the first of that name, handing each
// key line to `visit` until it returns true. Returns the line visit stopped
// at; otherwise one whose kind is Blank and whose `next` is where a new key
// belongs (after the last key line, or after the header), or npos there when
// the file has no such section.
template <class Char, class Visit>
Line<Char> WalkSection(View<Char> file, View<Char> section, Visit visit) {
  section = Trim(section);
  Line<Char> after;
  after.next = View<Char>::npos;
  bool inside = false;
  for (size_t at = 0; at < file.size();) {
    const Line<Char> line = LineAt(file, at);
    at = line.next;
    if (line.kind == Kind::Section) {
      if (inside) break;
      inside = SameName(line.name, section);
      if (inside) after = line;
    } else if (inside && line.kind == Kind::Key) {
      if (visit(line)) return line;
      after = line;
    }
  }
  after.kind = Kind::Blank;
  return after;
}

template <class Char>
std::optional<Text<Char>> ReadIn(View<Char> file, View<Char> section, View<Char> key) {
  key = Trim(key);
  const Line<Char> line = WalkSection(file, section, [&](const Line<Char>& l) { return SameName(l.name, key); });
  if (line.kind != Kind::Key || !line.value) return std::nullopt;
  View<Char> value = *line.value;
  // What the system functions hand back is a C string.
  value = value.substr(0, value.find(Char('\0')));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  size_t cut = 0;
  while (cut < value.size() && cut + CharLength(value, cut) <= kLongestValue) cut += CharLength(value, cut);
  return Text<Char>(value.substr(0, cut));
}

template <class Char>
Text<Char> WriteIn(View<Char> file, View<Char> section, View<Char> key, View<Char> value) {
  static constexpr Char kBreak[] = {'\r', '\n', '\0'};
  key = Trim(key);
  value = value.substr(0, value.find_first_of(kBreak));
  Text<Char> entry(key);
  entry += Char('=');
  entry += value;
  const Line<Char> line = WalkSection(file, section, [&](const Line<Char>& l) { return SameName(l.name, key); });
  Text<Char> out(file.substr(0, line.kind == Kind::Key ? line.start : line.next));
  if (line.kind == Kind::Key) {
    out += entry;
    out += file.substr(line.end);
    return out;
  }
  // A new line, after one the file may have left without its line end.
  if (!out.empty() && out.back() != '\n') out += kBreak;
  if (line.next == View<Char>::npos) {
    out += Char('[');
    out += Trim(section);
    out += Char(']');
    out += kBreak;
  }
  out += entry;
  out += kBreak;
  if (line.next != View<Char>::npos) out += file.substr(line.next);
  return out;
}

}  // namespace

std::optional<std::string> Read(std::string_view file, std::string_view section, std::string_view key) {
  return ReadIn(file, section, key);
}
std::optional<std::u16string> Read(std::u16string_view file, std::u16string_view section, std::u16string_view key) {
  return ReadIn(file, section, key);
}
std::string Write(std::string_view file, std::string_view section, std::string_view key, std::string_view value) {
  return WriteIn(file, section, key, value);
}
std::u16string Write(std::u16string_view file, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) {
  return WriteIn(file, section, key, value);
}

}  // namespace profile
