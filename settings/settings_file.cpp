#include "settings/settings_file.h"

#include "settings/profile.h"

std::string ReadSetting(SettingsStore& store, std::string_view key, std::string_view fallback) {
  return store.Read(key, fallback);
}

bool WriteSetting(SettingsStore& store, std::string_view key, std::string_view value) {
  return store.Write(key, value);
}

bool IsYesText(std::string_view text) { return text == "是"; }

const char* YesNoText(bool checked) { return checked ? "是" : "否"; }

bool ReplaceInOneStep(SettingsFolder& folder, std::string_view name, std::string_view bytes) {
  const std::string temporary = std::string(name) + ".tmp";
  folder.Remove(temporary);  // what a write cut short left behind
  if (folder.Create(temporary, bytes, name) && folder.Move(temporary, name)) return true;
  folder.Remove(temporary);
  return false;
}

namespace {

// A file in UTF-16: its units after the mark, little-endian, and an odd
// last byte kept as it is.
struct Utf16File {
  std::u16string units;
  std::string rest;
};

constexpr char kUtf16Mark[] = "\xFF\xFE";

bool IsUtf16(std::string_view bytes) { return bytes.starts_with(kUtf16Mark); }

Utf16File Units(std::string_view bytes) {
  Utf16File file;
  size_t i = 2;
  for (; i + 1 < bytes.size(); i += 2) {
    file.units += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
  }
  file.rest = bytes.substr(i);
  return file;
}

std::string Bytes(const Utf16File& file) {
  std::string bytes = kUtf16Mark;
  for (const char16_t u : file.units) bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return bytes + file.rest;
}

// UTF-8 and UTF-16 need no table; a broken sequence becomes U+FFFD.
std::u16string Utf16(std::string_view utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<uint8_t>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
    char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    int taken = 1;
    while (length > 1 && taken < length && i + taken < utf8.size() && (utf8[i + taken] & 0xC0) == 0x80) {
      c = c << 6 | (utf8[i + taken++] & 0x3F);
    }
    i += taken;
    if (length == 0 || taken < length || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = 0xFFFD;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      c = 0xDC00 + ((c - 0x10000) & 0x3FF);
    }
    out += static_cast<char16_t>(c);
  }
  return out;
}

std::string Utf8(std::u16string_view utf16) {
  std::string out;
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
              static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}

}  // namespace

std::string FileSettingsStore::Read(std::string_view key, std::string_view fallback) {
  const std::optional<std::string> bytes = folder_.Read(kSettingsFileName);
  if (bytes && IsUtf16(*bytes)) {
    const auto value = profile::Read(Units(*bytes).units, Utf16(kSettingsSection), Utf16(key));
    if (value) return Utf8(*value);
  } else if (bytes) {
    const auto value = profile::Read(*bytes, gbk_.FromUtf8(kSettingsSection), gbk_.FromUtf8(key));
    if (value) return gbk_.ToUtf8(*value);
  }
  return std::string(fallback);
}

bool FileSettingsStore::Write(std::string_view key, std::string_view value) {
  // A file that is there but cannot be read is never written over blind.
  const std::optional<std::string> bytes = folder_.Read(kSettingsFileName);
  if (!bytes) return false;
  std::string updated;
  if (IsUtf16(*bytes)) {
    Utf16File file = Units(*bytes);
    file.units = profile::Write(file.units, Utf16(kSettingsSection), Utf16(key), Utf16(value));
    updated = Bytes(file);
  } else {
    updated = profile::Write(*bytes, gbk_.FromUtf8(kSettingsSection), gbk_.FromUtf8(key), gbk_.FromUtf8(value));
  }
  return updated == *bytes || ReplaceInOneStep(folder_, kSettingsFileName, updated);
}
