#include "document/shape_file.h"

#include <cstring>

#include "document/shape_stream.h"

namespace lodsmith {

void AppendWrapped(Lines& out, std::string line) {
  std::size_t start = 0;
  for (;;) {
    const std::string_view rest = std::string_view(line).substr(start);
    // Byte offset of the character after the first kWrapWidth ones: the
    // remainder is longer than that only if there is one.
    const std::size_t limit = CharOffset(rest, kWrapWidth);
    if (limit >= rest.size()) break;
    // The last blank among characters 1..210 of the remainder.
    const std::size_t blank = rest.substr(0, limit).rfind(' ');
    // No blank in reach: the rest is stored whole rather than cut inside a
    // keyword or a number.
    if (blank == std::string_view::npos) break;
    out.emplace_back(rest.substr(0, blank + 1));
    start += blank + 1;
  }
  if (start == 0)
    out.push_back(std::move(line));
  else
    out.emplace_back(line, start);
}

namespace {

// Decodes one raw line (CR bytes still in it) straight from the file image:
// the characters are every second byte of the line with its CR bytes
// removed, from byte `firstPos` (1-based) while the position is below the
// stripped length.
void DecodeSegment(const char* seg, std::size_t len, std::size_t firstPos, std::string& out) {
  out.clear();
  const char* cr = static_cast<const char*>(std::memchr(seg, '\r', len));
  if (!cr) {
    for (std::size_t pos = firstPos; pos < len; pos += 2) out.push_back(seg[pos - 1]);
    return;
  }
  if (static_cast<std::size_t>(cr - seg) + 2 == len && seg[len - 1] != '\r') {
    // The usual UTF-16 line end: one CR as the low byte of the last code
    // unit. The stripped line is the line without it, so the characters are
    // the bytes before it.
    std::size_t stripped = len - 1;
    out.reserve(stripped / 2);
    for (std::size_t pos = firstPos; pos < stripped; pos += 2) out.push_back(seg[pos - 1]);
    return;
  }
  std::string tmp;
  tmp.reserve(len);
  for (std::size_t i = 0; i < len; ++i)
    if (seg[i] != '\r') tmp.push_back(seg[i]);
  for (std::size_t pos = firstPos; pos < tmp.size(); pos += 2) out.push_back(tmp[pos - 1]);
}

bool OnlyCarriageReturnsAndOneZero(const char* seg, std::size_t len) {
  bool zero = false;
  for (std::size_t i = 0; i < len; ++i) {
    if (seg[i] == '\r') continue;
    if (seg[i] == '\0' && !zero) {
      zero = true;
      continue;
    }
    return false;
  }
  return zero;
}

bool StartsWithCtrlZ(const char* seg, std::size_t len) {
  for (std::size_t i = 0; i < len; ++i)
    if (seg[i] != '\r') return seg[i] == '\x1A';
  return false;
}

}  // namespace

namespace {

// 8-bit reading of a file without the UTF-16 mark (read on at the user's
// wish): LF bytes end raw lines, CR bytes are dropped, the characters are
// every second byte from byte 3 of the first raw line and from byte 2 of
// each later one, each taken as a Latin-1 character.
void DecodeBytes(std::string_view bytes, DecodedShape& result, const std::function<void(int)>& progress) {
  const char* data = bytes.data();
  const std::size_t n = bytes.size();
  result.lines.reserve(n / 48 + 1);
  std::string line;
  std::size_t start = 0;
  int raw = 0;
  while (start < n) {
    const char* nl = static_cast<const char*>(std::memchr(data + start, '\n', n - start));
    std::size_t end = nl ? static_cast<std::size_t>(nl - data) : n;
    const char* seg = data + start;
    std::size_t len = end - start;
    // A lone 00 after the last LF is that LF's own high byte.
    if (!nl && raw > 0 && OnlyCarriageReturnsAndOneZero(seg, len)) break;
    if (StartsWithCtrlZ(seg, len)) break;
    DecodeSegment(seg, len, raw == 0 ? 3 : 2, line);
    if (raw == 0) {
      result.lines.push_back(Latin1ToUtf8(line));
    } else {
      AppendWrapped(result.lines, Latin1ToUtf8(line));
      if (progress && raw % 1000 == 0) progress(raw);
    }
    ++raw;
    if (!nl) break;
    start = end + 1;
  }
}

}  // namespace

DecodedShape DecodeShape(std::string_view bytes, const std::function<void(int)>& progress) {
  DecodedShape result;
  result.bom = std::string(bytes.substr(0, std::min<std::size_t>(2, bytes.size())));
  if (result.bom == "\xFF\xFE") {
    result.lines.reserve(bytes.size() / 64 + 1);
    Utf16ShapeReader reader(result.lines, progress);
    reader.Feed(bytes);
    reader.Finish();
  } else {
    DecodeBytes(bytes, result, progress);
  }
  return result;
}

std::string EncodeShape(const Lines& lines, std::string_view bom, const std::function<void(int)>& progress) {
  std::size_t total = bom.size() + 2;
  for (const auto& l : lines) total += 2 * l.size() + 4;
  std::string out;
  out.reserve(total);
  WriteShapeText(
      lines, bom, [&out](std::string_view piece) { out.append(piece); }, progress);
  return out;
}

}  // namespace lodsmith
