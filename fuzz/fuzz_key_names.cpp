// KeyNameToCode and KeyCodeToName over arbitrary names and codes: every
// accepted name maps back to its canonical table name, every named code back to itself.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/hotkeys/key_names.h"
#include "fuzz/fuzz_check.h"

namespace {

bool IsTableName(std::string_view name) {
  for (const klv::KeyName& key : klv::KeyNameTable) {
    if (name == key.name) return true;
  }
  return false;
}

bool IsTableCode(int code) {
  for (const klv::KeyName& key : klv::KeyNameTable) {
    if (code == key.code) return true;
  }
  return false;
}

bool IsLoneLowerLetter(std::string_view name) { return name.size() == 1 && name[0] >= 'a' && name[0] <= 'z'; }

void CheckName(std::string_view name) {
  const int code = klv::KeyNameToCode(name);
  if (code == 0) {
    FUZZ_CHECK(!IsTableName(name) && !IsLoneLowerLetter(name));
    return;
  }
  const std::string canonical = klv::KeyCodeToName(code);
  FUZZ_CHECK(IsTableName(canonical));
  if (IsLoneLowerLetter(name)) {
    FUZZ_CHECK(canonical == std::string(1, static_cast<char>(name[0] - 'a' + 'A')));
  } else {
    FUZZ_CHECK(canonical == name);
  }
}

void CheckCode(int code) {
  const std::string name = klv::KeyCodeToName(code);
  if (name.empty()) {
    FUZZ_CHECK(!IsTableCode(code));
  } else {
    FUZZ_CHECK(klv::KeyNameToCode(name) == code);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckName(std::string_view(reinterpret_cast<const char*>(data), size));
  if (size >= sizeof(int32_t)) {
    int32_t code = 0;
    std::memcpy(&code, data, sizeof code);
    CheckCode(code);
    CheckCode(data[0]);
  }
  return 0;
}
