// The settings file: one INI section beside the executable, read once at
// start-up into the settings window's controls, written key by key whenever a
// setting changes. The program reads and writes it itself, byte for byte: the
// system's private-profile functions would convert its GBK text through the
// system code page (and spoil it on a Japanese or a UTF-8 system), and they
// rewrite the file in place, so that a crash in the middle leaves it empty.
#pragma once

#include <optional>
#include <string>
#include <string_view>

inline constexpr char kSettingsSection[] = "配置信息";
inline constexpr char kSettingsFileName[] = "lkd.dll";

// The settings section of the file.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored value of a key of the settings section, or the default.
  virtual std::string Read(std::string_view key, std::string_view fallback) = 0;
  virtual bool Write(std::string_view key, std::string_view value) = 0;
};

std::string ReadSetting(SettingsStore& store, std::string_view key, std::string_view fallback);
bool WriteSetting(SettingsStore& store, std::string_view key, std::string_view value);

// A stored option is on exactly when it reads "是".
bool IsYesText(std::string_view text);
const char* YesNoText(bool checked);

// The folder that holds the settings file: as much of the file system as
// the settings need. Names are UTF-8; no handle outlives a call.
class SettingsFolder {
 public:
  virtual ~SettingsFolder() = default;
  // A file's bytes: empty when there is no such file, nothing when there is
  // one that cannot be read (locked, say, or a folder in its place).
  virtual std::optional<std::string> Read(std::string_view name) = 0;
  // A new file holding these bytes, with the attributes of the file `like`
  // where there is one, flushed to the disk. False when that cannot be done
  // in full; what was made of it may be left behind.
  virtual bool Create(std::string_view name, std::string_view bytes, std::string_view like) = 0;
  // Puts file `from` in the place of `to` in one step, written through, so
  // that a reader finds the one or the other, never part of either; a
  // read-only `to` stays. False when `to` is as it was.
  virtual bool Move(std::string_view from, std::string_view to) = 0;
  virtual void Remove(std::string_view name) = 0;
};

// Replaces a file of the folder with these bytes in one step: a temporary
// beside it takes them first, then its place. Whatever cuts the write short,
// a kill or a power cut among them, leaves the old file whole; a temporary
// left behind then is never read, and goes with the next write.
bool ReplaceInOneStep(SettingsFolder& folder, std::string_view name, std::string_view bytes);

// The conversion between the program's UTF-8 and the file's GBK, whatever
// code page the system runs in.
class GbkText {
 public:
  virtual ~GbkText() = default;
  virtual std::string FromUtf8(std::string_view utf8) = 0;
  virtual std::string ToUtf8(std::string_view gbk) = 0;
};

// The settings section of the settings file in its folder. The file is GBK
// text, or UTF-16 where it starts with that byte-order mark (a file saved as
// "Unicode" by Notepad), as the system functions take it; any other mark is
// text of the line it stands on. A write that would leave the bytes as they
// are is not made.
class FileSettingsStore : public SettingsStore {
 public:
  FileSettingsStore(SettingsFolder& folder, GbkText& gbk) : folder_(folder), gbk_(gbk) {}
  std::string Read(std::string_view key, std::string_view fallback) override;
  bool Write(std::string_view key, std::string_view value) override;

 private:
  SettingsFolder& folder_;
  GbkText& gbk_;
};
