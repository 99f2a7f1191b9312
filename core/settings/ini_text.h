// A profile file read from a text buffer, with the rules of the platform's
// profile functions, so that settings reads run and can be tested anywhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings/ini_access.h"

namespace klv {

class IniText : public IniReader {
 public:
  // Parses the whole text once; lines end at LF (CR before it is a blank).
  explicit IniText(std::string_view text);

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const override;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  void ParseLine(std::string_view line);

  // Keys before the first header land in a nameless section, as the platform keeps them.
  std::vector<Section> sections_{Section{}};
};

}  // namespace klv
