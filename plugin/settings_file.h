// gen_klv.ini through the platform's profile functions.
#pragma once

#include <memory>
#include <string>

#include "core/ini_access.h"

class SettingsFile : public klv::IniReader, public klv::IniWriter {
 public:
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const override;
  bool WriteString(std::string_view section, std::string_view key, std::string_view value) override;

 private:
  std::string path_;
};

extern std::unique_ptr<SettingsFile> gSettingsFile;

// Locates the file from the host's registry key and creates gSettingsFile.
bool OpenSettingsFile();
// Writes every setting but Position. False when a write was refused; the
// message for the user is then SettingsWriteErrorText().
bool SaveSettings();
// "Unable to write to " + path, the path taken literally.
std::string SettingsWriteErrorText();
