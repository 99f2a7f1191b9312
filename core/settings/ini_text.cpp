// Profile-file parsing after the platform's rules: the first section of a name
// and the first key of a name win, names match without regard to case, blanks
// around names and values go, one pair of matching quotes around a value goes.
#include "core/settings/ini_text.h"

#include <algorithm>

namespace klv {
namespace {

constexpr char kDosEndOfFile = '\x1a';  // counted as a blank, as old files carry it

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == kDosEndOfFile;
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

// The platform keeps names and values as C strings: an embedded NUL ends them.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::string CutToIniText(std::string_view text) { return std::string(text.substr(0, kMaxIniText)); }

}  // namespace

IniText::IniText(std::string_view text) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) text.remove_prefix(kUtf8Mark.size());
  while (!text.empty()) {
    // A file without any LF left is split at CR, as the platform does for old Mac files.
    size_t end = text.find('\n');
    if (end == std::string_view::npos) end = text.find('\r');
    const size_t next = end == std::string_view::npos ? text.size() : end + 1;
    ParseLine(text.substr(0, std::min(end, text.size())));
    text.remove_prefix(next);
  }
}

void IniText::ParseLine(std::string_view line) {
  line = Trim(line);
  if (line.empty()) return;
  if (line.front() == '[') {
    const size_t close = line.rfind(']');
    // A header without its bracket is read as an ordinary line, as the platform does.
    if (close != std::string_view::npos) {
      sections_.push_back(Section{std::string(UpToNul(line.substr(1, close - 1))), {}});
      return;
    }
  }
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const std::string_view key = UpToNul(TrimRight(line.substr(0, equals)));
  const std::string_view value = UpToNul(TrimLeft(line.substr(equals + 1)));
  sections_.back().entries.push_back(Entry{std::string(key), std::string(value)});
}

std::string IniText::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  section = Trim(section);
  key = Trim(key);
  const auto found = std::find_if(sections_.begin(), sections_.end(),
                                  [&](const Section& s) { return EqualIgnoringCase(s.name, section); });
  // Only the first section of a name is seen, even when a later one holds the key.
  if (found == sections_.end()) return CutToIniText(fallback);
  for (const Entry& entry : found->entries) {
    if (EqualIgnoringCase(entry.key, key)) return CutToIniText(Unquote(entry.value));
  }
  return CutToIniText(fallback);
}

}  // namespace klv
