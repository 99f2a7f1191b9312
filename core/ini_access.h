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
};

class IniWriter {
 public:
  virtual ~IniWriter() = default;
  // False when the system refused the write.
  virtual bool WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;

  bool WriteInteger(std::string_view section, std::string_view key, int32_t value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
};

}  // namespace klv
