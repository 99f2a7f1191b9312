// The profile-file operations the settings need, so that the settings schema
// runs over the platform's profile functions and over a portable reader alike.
// Texts are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace klv {

constexpr size_t kMaxIniText = 2047;  // profile texts are read into a 2048-unit buffer

class IniReader {
 public:
  virtual ~IniReader() = default;
  // The value of section/key (matched without regard to case), at most
  // kMaxIniText characters, or fallback when the key is absent.
  virtual std::string ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const = 0;

  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  // The text a read gives back after text was written: a file in an 8-bit
  // code page turns what the code page lacks into '?' or a look-alike.
  virtual std::string StoredForm(std::string_view text) const { return std::string(text); }
};

class IniWriter {
 public:
  virtual ~IniWriter() = default;
  // False when the system refused the write.
  virtual bool WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
  // Removes the key; true also when it was not there.
  virtual bool DeleteKey(std::string_view section, std::string_view key) = 0;
  // As IniReader::StoredForm.
  virtual std::string StoredForm(std::string_view text) const { return std::string(text); }

  bool WriteInteger(std::string_view section, std::string_view key, int32_t value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
};

}  // namespace klv
