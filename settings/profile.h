// The INI format as Windows' private-profile functions read and write it, over
// the file's own text: GBK bytes, or UTF-16 units where the file starts with
// the UTF-16LE byte-order mark. Reading looks in the first section of the
// name, at its first key of the name; names are compared character by
// character, ASCII letters without regard to case, and never byte by byte (a
// GBK trail byte can be a letter, or a bracket). Writing changes one line, or
// adds one, and keeps every other byte of the file as it was.
//
// Where Wine's functions differ from Windows', this follows Windows: Wine
// writes the whole file anew from what it parsed (blank lines and the blanks
// around '=' dropped, an empty line before each section), trims \v, \f, ^Z
// and Unicode spaces such as U+3000 as well, reads files marked UTF-8 or
// UTF-16BE, which Windows takes as text of their first line, and takes any
// byte after a GBK lead byte as its trail, a line end included.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace profile {

// As much of a value as GetPrivateProfileString hands back into the
// program's 10,240-character buffer, which also holds the terminating NUL.
inline constexpr size_t kLongestValue = 10239;

// The key's value: blanks around it trimmed, one pair of matching quotes
// taken off, and cut to kLongestValue units (never inside a character).
// Nothing when the section, the key or the key's '=' is missing.
std::optional<std::string> Read(std::string_view file, std::string_view section, std::string_view key);
std::optional<std::u16string> Read(std::u16string_view file, std::u16string_view section, std::u16string_view key);

// The file with key=value in place of the key's first line in the section;
// a new key goes after the section's last key, a new section at the end of
// the file. New lines end in CR LF. A line break in the value ends it there:
// what follows would be read as lines of their own.
std::string Write(std::string_view file, std::string_view section, std::string_view key, std::string_view value);
std::u16string Write(std::u16string_view file, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value);

}  // namespace profile
