// Integer and boolean access on top of the text access of a profile file.
#include "core/settings/ini_access.h"

#include "core/settings/ini_integer.h"

#include <string>

namespace klv {

int32_t IniReader::ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const {
  return ParseIniInteger(ReadString(section, key, ""), fallback);
}

bool IniReader::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniWriter::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniWriter::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

}  // namespace klv
