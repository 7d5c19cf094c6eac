#include "platform/ini_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/text.h"
#include "document/shape_file.h"
#include "platform/native_file.h"

namespace lodsmith {

namespace {

// Code points of 0x80..0x9F in Windows-1252 (0 = undefined there).
const unsigned kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (unsigned char c : s) {
    unsigned cp = c;
    if (c >= 0x80 && c < 0xA0) cp = kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : c;
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Utf8ToCp1252(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned cp;
    std::size_t n;
    if (c < 0x80) {
      cp = c;
      n = 1;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < s.size()) {
      cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
      n = 2;
    } else if ((c & 0xF0) == 0xE0 && i + 2 < s.size()) {
      cp = ((c & 0x0F) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3F) << 6) |
           (static_cast<unsigned char>(s[i + 2]) & 0x3F);
      n = 3;
    } else {
      cp = '?';
      n = (c & 0xF8) == 0xF0 ? 4 : 1;
    }
    i += n;
    if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k)
      if (kCp1252High[k] == cp) mapped = static_cast<char>(0x80 + k);
    out.push_back(mapped);
  }
  return out;
}

IniFile::IniFile(std::string path) : path_(std::move(path)) { Load(); }

void IniFile::Reload() { Load(); }

void IniFile::Load() {
  preamble_.clear();
  sections_.clear();
  std::ifstream in(FsPath(path_), std::ios::binary);
  if (!in) return;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = Trim(line);
    if (t.size() >= 2 && t.front() == '[') {
      auto close = t.find(']');
      if (close != std::string::npos) {
        sections_.push_back({Cp1252ToUtf8(Trim(t.substr(1, close - 1))), {}});
        continue;
      }
    }
    if (sections_.empty()) {
      preamble_.push_back(line);
      continue;
    }
    Entry e;
    e.raw = line;
    auto eq = line.find('=');
    if (eq != std::string::npos && !t.empty() && t[0] != ';') {
      e.isEntry = true;
      e.key = Cp1252ToUtf8(Trim(line.substr(0, eq)));
      std::string v = Trim(line.substr(eq + 1));
      // Quotes around a whole value are not part of it.
      if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        v = v.substr(1, v.size() - 2);
      e.value = Cp1252ToUtf8(v);
    }
    sections_.back().lines.push_back(std::move(e));
  }
}

IniFile::Section* IniFile::FindSection(const std::string& name) {
  for (auto& s : sections_)
    if (EqualsIgnoreCase(s.name, name)) return &s;
  return nullptr;
}

const IniFile::Section* IniFile::FindSection(const std::string& name) const {
  for (const auto& s : sections_)
    if (EqualsIgnoreCase(s.name, name)) return &s;
  return nullptr;
}

bool IniFile::SectionExists(const std::string& section) const { return FindSection(section) != nullptr; }

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(section);
  if (!s) return false;
  for (const auto& e : s->lines)
    if (e.isEntry && EqualsIgnoreCase(e.key, key)) return true;
  return false;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  const Section* s = FindSection(section);
  if (!s) return def;
  for (const auto& e : s->lines)
    if (e.isEntry && EqualsIgnoreCase(e.key, key)) return e.value;
  return def;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  auto v = ParseInt32(ReadString(section, key, ""));
  return v ? *v : def;
}

long double IniFile::ReadFloat(const std::string& section, const std::string& key, long double def,
                               char decimalSeparator) const {
  auto v = ParseFloat(ReadString(section, key, ""), decimalSeparator);
  return v ? *v : def;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back({section, {}});
    s = &sections_.back();
  }
  Entry* found = nullptr;
  for (auto& e : s->lines)
    if (e.isEntry && EqualsIgnoreCase(e.key, key)) {
      found = &e;
      break;
    }
  if (found) {
    found->value = value;
    found->raw = Utf8ToCp1252(found->key) + "=" + Utf8ToCp1252(value);
  } else {
    Entry e;
    e.isEntry = true;
    e.key = key;
    e.value = value;
    e.raw = Utf8ToCp1252(key) + "=" + Utf8ToCp1252(value);
    // A new key goes after the last entry of its section (before trailing
    // blank lines that separate it from the next section).
    std::size_t at = s->lines.size();
    while (at > 0 && Trim(s->lines[at - 1].raw).empty()) --at;
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(e));
  }
  dirty_ = true;
  if (batchDepth_ == 0) Flush();
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteFloat(const std::string& section, const std::string& key, long double value,
                         char decimalSeparator) {
  WriteString(section, key, FormatGeneral(static_cast<double>(value), decimalSeparator));
}

void IniFile::EraseSection(const std::string& section) {
  bool erased = false;
  for (auto it = sections_.begin(); it != sections_.end();) {
    if (EqualsIgnoreCase(it->name, section)) {
      it = sections_.erase(it);
      erased = true;
    } else {
      ++it;
    }
  }
  if (!erased) {
    // Windows still needs to reach the file; a missing one is no failure.
    return;
  }
  dirty_ = true;
  if (batchDepth_ == 0) Flush();
}

void IniFile::Flush() {
  if (!dirty_ || memoryOnly_) return;
  std::string out;
  for (const auto& l : preamble_) out += l + "\r\n";
  for (const auto& s : sections_) {
    out += "[" + Utf8ToCp1252(s.name) + "]\r\n";
    for (const auto& e : s.lines) out += e.raw + "\r\n";
  }
  try {
    WriteFileAtomic(path_, out, "");
  } catch (const IoError&) {
    throw IoError("In " + path_ + " kann nicht geschrieben werden");
  }
  dirty_ = false;
}

void IniFile::BatchUpdate::Commit() {
  if (committed_) return;
  committed_ = true;
  if (--ini_.batchDepth_ == 0) ini_.Flush();
}

IniFile::BatchUpdate::~BatchUpdate() noexcept(false) {
  if (committed_) return;
  committed_ = true;
  --ini_.batchDepth_;
  // An exception is already on its way: keep what is in memory unwritten
  // rather than throwing twice.
  if (ini_.batchDepth_ == 0 && std::uncaught_exceptions() == 0) ini_.Flush();
}

}  // namespace lodsmith
