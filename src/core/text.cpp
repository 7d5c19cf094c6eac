#include "core/text.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/core_messages.h"
#include "core/message.h"

namespace lodsmith {

int SearchForward(const Lines& lines, int from, std::string_view keyword) { return Search(lines, from, keyword).line; }

SearchResult Search(const Lines& lines, int from, std::string_view keyword) {
  const int last = static_cast<int>(lines.size()) - 1;
  if (last < 0 || from > last) return {};
  if (from < 0) from = 0;
  for (int i = from; i <= last; ++i) {
    if (Contains(lines[i], keyword)) return {i, true};
  }
  return {last, false};
}

void NextToken(std::string_view line, int& pos, int& end) {
  const int len = static_cast<int>(line.size());
  if (pos < 1) pos = 1;
  while (pos < len && (line[pos - 1] == ' ' || line[pos - 1] == '\t')) ++pos;
  end = pos;
  while (end <= len && line[end - 1] != ' ' && line[end - 1] != '\t') ++end;
}

std::string TakeToken(std::string_view line, int& pos) {
  int end = pos;
  NextToken(line, pos, end);
  std::string token(line.substr(std::min<std::size_t>(pos - 1, line.size()), end - pos));
  pos = end;
  return token;
}

std::optional<int32_t> ParseInt32(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i >= text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t ToInt32(std::string_view text) {
  auto v = ParseInt32(text);
  if (!v) throw Error(CoreMsg::NotAnInteger, text);
  return *v;
}

bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e'; }

namespace {

// Finds the run of number characters starting at or after index `from`
// (0-based); returns [start, end) or start == npos.
std::pair<std::size_t, std::size_t> NumberRun(std::string_view line, std::size_t from) {
  std::size_t s = from;
  while (s < line.size() && !IsNumberChar(line[s])) ++s;
  if (s >= line.size()) return {std::string_view::npos, std::string_view::npos};
  std::size_t e = s;
  while (e < line.size() && IsNumberChar(line[e])) ++e;
  return {s, e};
}

}  // namespace

int32_t FirstNumberAfter(std::string_view line, int p) {
  auto [s, e] = NumberRun(line, static_cast<std::size_t>(std::max(p, 0)));
  if (s == std::string_view::npos) throw Error(CoreMsg::LineWithoutNumber, line);
  return ToInt32(line.substr(s, e - s));
}

int32_t SecondNumberAfter(std::string_view line, int p) {
  auto [s, e] = NumberRun(line, static_cast<std::size_t>(std::max(p, 0)));
  if (s == std::string_view::npos) throw Error(CoreMsg::LineWithoutNumber, line);
  auto [s2, e2] = NumberRun(line, e);
  if (s2 == std::string_view::npos) throw Error(CoreMsg::LineWithoutSecondNumber, line);
  return ToInt32(line.substr(s2, e2 - s2));
}

int FirstParenPos(std::string_view line, char paren) {
  auto p = line.find(paren);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string ReadName(std::string_view line, std::size_t at, std::size_t& end, bool tabsSeparate) {
  auto separates = [&](char c) { return c == ' ' || (tabsSeparate && c == '\t'); };
  if (at < line.size() && line[at] == '"') {
    std::string name;
    for (std::size_t i = at + 1; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '"') {
        if (name.empty() && i == at + 1) break;  // "" stays as it stands
        end = i + 1;
        return name;
      }
      if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"')) ++i;
      name += line[i];
    }
  }
  std::size_t e = at;
  while (e < line.size() && !separates(line[e])) ++e;
  end = e;
  return std::string(line.substr(std::min(at, line.size()), e - std::min(at, line.size())));
}

std::string WordAfter(std::string_view line, std::string_view keyword) {
  auto k = line.find(keyword);
  if (k == std::string_view::npos) throw Error(CoreMsg::KeywordMissing, keyword);
  auto b = line.find(' ', k);
  if (b == std::string_view::npos) throw Error(CoreMsg::NoNameAfter, keyword, line);
  while (b < line.size() && line[b] == ' ') ++b;
  std::size_t e = b;
  std::string name = ReadName(line, b, e, false);
  if (e == b) throw Error(CoreMsg::NoNameAfter, keyword, line);
  return name;
}

std::string TakeName(std::string_view line, int& pos) {
  int end = pos;
  NextToken(line, pos, end);
  const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(pos - 1), line.size());
  std::size_t after = at;
  std::string name = ReadName(line, at, after, true);
  pos = static_cast<int>(after) + 1;
  return name;
}

namespace {

// Locates value k after the keyword: returns [pos, end) 1-based.
std::pair<int, int> LocateValue(std::string_view line, std::string_view keyword, int k) {
  int kp = static_cast<int>(PosOf(line, keyword));
  if (kp == 0) throw Error(CoreMsg::KeywordMissing, keyword);
  int p = kp + static_cast<int>(keyword.size());
  int end = p;
  for (int i = 0; i < k; ++i) {
    NextToken(line, p, end);
    p = end;
  }
  NextToken(line, p, end);
  return {p, end};
}

}  // namespace

std::string ReplaceValueAfter(std::string& line, std::string_view keyword, int k, std::string_view value) {
  auto [p, end] = LocateValue(line, keyword, k);
  std::size_t start = std::min<std::size_t>(p - 1, line.size());
  std::size_t count = std::min<std::size_t>(end - p, line.size() - start);
  std::string old = line.substr(start, count);
  line.replace(start, count, value);
  return old;
}

std::string ValueAfter(std::string_view line, std::string_view keyword, int k) {
  auto [p, end] = LocateValue(line, keyword, k);
  std::size_t start = std::min<std::size_t>(p - 1, line.size());
  return std::string(line.substr(start, std::min<std::size_t>(end - p, line.size() - start)));
}

namespace {

inline char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A Latin-1 capital in UTF-8 is C3 80..C3 9E (C3 97 is the multiplication
// sign); its small letter is 0x20 further on.
inline bool IsLatin1CapitalTail(unsigned char lead, unsigned char tail) {
  return lead == 0xC3 && tail >= 0x80 && tail <= 0x9E && tail != 0x97;
}

}  // namespace

std::string FoldCase(std::string_view s) {
  std::string r(s);
  for (std::size_t i = 0; i < r.size(); ++i) {
    r[i] = FoldAscii(r[i]);
    if (i + 1 < r.size() &&
        IsLatin1CapitalTail(static_cast<unsigned char>(r[i]), static_cast<unsigned char>(r[i + 1]))) {
      r[i + 1] = static_cast<char>(r[i + 1] + 0x20);
      ++i;
    }
  }
  return r;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (FoldAscii(static_cast<char>(x)) != FoldAscii(static_cast<char>(y))) return false;
    // Both leads are C3 here (equal after folding, and C3 is no letter).
    if (x == 0xC3 && i + 1 < a.size()) {
      unsigned char tx = static_cast<unsigned char>(a[i + 1]), ty = static_cast<unsigned char>(b[i + 1]);
      if (IsLatin1CapitalTail(x, tx)) tx = static_cast<unsigned char>(tx + 0x20);
      if (IsLatin1CapitalTail(y, ty)) ty = static_cast<unsigned char>(ty + 0x20);
      if (tx != ty) return false;
      ++i;
    }
  }
  return true;
}

std::string Latin1ToUtf8(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (unsigned char c : s) {
    if (c < 0x80) {
      r.push_back(static_cast<char>(c));
    } else {
      r.push_back(static_cast<char>(0xC0 | (c >> 6)));
      r.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return r;
}

namespace {

void AppendCodePoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

inline bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
inline bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes one well-formed sequence at s[i]; returns its length, 0 when the
// bytes there are no such sequence. Lone surrogates (ED A0..BF xx) count as
// well-formed: they are how a lone surrogate code unit is kept.
std::size_t DecodeUtf8At(std::string_view s, std::size_t i, char32_t& cp) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  const std::size_t left = s.size() - i;
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  if (c >= 0xC2 && c <= 0xDF && left >= 2 && IsContinuation(s[i + 1])) {
    cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
    return 2;
  }
  if (c >= 0xE0 && c <= 0xEF && left >= 3 && IsContinuation(s[i + 1]) && IsContinuation(s[i + 2])) {
    cp = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
         (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
    return cp >= 0x800 ? 3 : 0;
  }
  if (c >= 0xF0 && c <= 0xF4 && left >= 4 && IsContinuation(s[i + 1]) && IsContinuation(s[i + 2]) &&
      IsContinuation(s[i + 3])) {
    cp = ((c & 0x07u) << 18) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 12) |
         ((static_cast<unsigned char>(s[i + 2]) & 0x3Fu) << 6) | (static_cast<unsigned char>(s[i + 3]) & 0x3Fu);
    return cp >= 0x10000 && cp <= 0x10FFFF ? 4 : 0;
  }
  return 0;
}

}  // namespace

void AppendUtf16AsUtf8(std::string& out, const char16_t* units, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const char32_t u = units[i];
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(units[i + 1])) {
      AppendCodePoint(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendCodePoint(out, u);
    }
  }
}

void AppendUtf8AsUtf16(std::u16string& out, std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    char32_t cp = 0;
    const std::size_t n = DecodeUtf8At(s, i, cp);
    if (n == 0) {
      out.push_back(c);
      ++i;
    } else if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
      i += n;
    } else {
      out.push_back(static_cast<char16_t>(cp));
      i += n;
    }
  }
}

std::size_t CharCount(std::string_view s) {
  std::size_t n = 0;
  for (char c : s) n += !IsContinuation(static_cast<unsigned char>(c));
  return n;
}

std::size_t CharOffset(std::string_view s, std::size_t n) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (IsContinuation(static_cast<unsigned char>(s[i]))) continue;
    if (n == 0) return i;
    --n;
  }
  return s.size();
}

std::string FormatGeneral(long double value, char decimalSeparator) {
  // to_chars is locale-independent, unlike printf (the window's toolkit sets
  // the user's locale at start).
  char buf[128];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string r(buf, res.ptr);
  for (char& c : r)
    if (c == '.') c = decimalSeparator;
  return r;
}

std::optional<long double> ParseFloat(std::string_view text, char decimalSeparator) {
  // Trim blanks as the text-to-float conversion of the toolkit does.
  std::size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  if (b == e) return std::nullopt;
  std::string s;
  std::size_t i = b;
  auto at = [&](std::size_t k) { return k < e ? text[k] : '\0'; };
  if (at(i) == '+' || at(i) == '-') s.push_back(text[i++]);
  std::size_t digits = 0;
  while (at(i) >= '0' && at(i) <= '9') {
    s.push_back(text[i++]);
    ++digits;
  }
  if (at(i) == decimalSeparator && i < e) {
    s.push_back('.');
    ++i;
    while (at(i) >= '0' && at(i) <= '9') {
      s.push_back(text[i++]);
      ++digits;
    }
  }
  if (digits == 0) return std::nullopt;
  if (at(i) == 'e' || at(i) == 'E') {
    s.push_back('e');
    ++i;
    if (at(i) == '+' || at(i) == '-') s.push_back(text[i++]);
    std::size_t ed = 0;
    while (at(i) >= '0' && at(i) <= '9') {
      s.push_back(text[i++]);
      ++ed;
    }
    if (ed == 0) return std::nullopt;
  }
  if (i != e) return std::nullopt;
  long double v = 0;
  const char* first = s.c_str();
  if (*first == '+') ++first;  // from_chars takes no plus sign
#ifdef __MINGW32__
  // MinGW's from_chars for long double rounds through double, which loses
  // the extended precision the tolerances and coordinates are kept in. Its
  // own strtold reads all 64 bits; the text is plain C syntax by now, and
  // no part of the program on Windows changes the C locale's ".".
  errno = 0;
  char* end = nullptr;
  v = __mingw_strtold(first, &end);
  // Out of range (1e5000) is no number, as from_chars says elsewhere.
  if (errno == ERANGE || end != s.c_str() + s.size()) return std::nullopt;
#else
  auto res = std::from_chars(first, s.c_str() + s.size(), v, std::chars_format::general);
  // Out of range (1e5000) is no number either: from_chars leaves v untouched.
  if (res.ec != std::errc() || res.ptr != s.c_str() + s.size()) return std::nullopt;
#endif
  return v;
}

bool FitsDouble(long double value) {
  return std::isfinite(value) && std::fabs(value) <= static_cast<long double>(std::numeric_limits<double>::max());
}

std::optional<long double> ParseTolerance(std::string_view text, char decimalSeparator) {
  auto v = ParseFloat(text, decimalSeparator);
  if (v && !FitsDouble(*v)) return std::nullopt;
  return v;
}

}  // namespace lodsmith
