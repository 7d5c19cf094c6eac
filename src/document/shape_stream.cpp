#include "document/shape_stream.h"

#include "document/shape_file.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace lodsmith {

namespace {

// An ASCII character that is neither a line end nor Ctrl-Z.
bool PlainAscii(unsigned char c) { return c >= 0x20 ? c < 0x80 : c == '\t'; }

#if defined(__SSE2__) || defined(_M_X64)
// The 8 units at p, all plain ASCII (a high byte of 0, a low byte that
// PlainAscii takes).
bool EightPlainUnits(const unsigned char* p) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i printable =
      _mm_and_si128(_mm_cmpgt_epi16(v, _mm_set1_epi16(0x1F)), _mm_cmplt_epi16(v, _mm_set1_epi16(0x80)));
  const __m128i plain = _mm_or_si128(printable, _mm_cmpeq_epi16(v, _mm_set1_epi16('\t')));
  return _mm_movemask_epi8(plain) == 0xFFFF;
}
#endif

// The end of the run of plain ASCII units from byte i of p[0, n): eight
// units at a time while they last.
std::size_t PlainRunEnd(const unsigned char* p, std::size_t i, std::size_t n) {
#if defined(__SSE2__) || defined(_M_X64)
  while (i + 16 <= n && EightPlainUnits(p + i)) i += 16;
#endif
  while (i + 1 < n && p[i + 1] == 0 && PlainAscii(p[i])) i += 2;
  return i;
}

// The low bytes of the units in p[i, end) to o.
void LowBytes(const unsigned char* p, std::size_t i, std::size_t end, char* o) {
#if defined(__SSE2__) || defined(_M_X64)
  // Every unit is below 0x80: packing keeps its low byte.
  for (; i + 16 <= end; i += 16, o += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(v, v));
  }
#endif
  for (; i < end; i += 2) *o++ = static_cast<char>(p[i]);
}

}  // namespace

Utf16ShapeReader::Utf16ShapeReader(Lines& out, std::function<void(int)> progress)
    : out_(out), progress_(std::move(progress)) {}

void Utf16ShapeReader::Feed(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  for (; markLeft_ > 0 && i < n; ++i) --markLeft_;
  if (stopped_) return;
  if (oddByte_ >= 0 && i < n) {
    Unit(static_cast<char16_t>(oddByte_ | p[i] << 8));
    oddByte_ = -1;
    ++i;
  }
  while (i + 1 < n && !stopped_) {
    // Most of a shape is ASCII text and tabs: a run of them goes straight
    // into the line. A character waiting in wide_ (half a pair, say) goes
    // through Unit first.
    const std::size_t end = wide_.empty() ? PlainRunEnd(p, i, n) : i;
    if (end > i) {
      const std::size_t at = line_.size();
      line_.resize(at + (end - i) / 2);
      LowBytes(p, i, end, line_.data() + at);
      i = end;
      anyUnit_ = lineHasText_ = true;
      continue;
    }
    Unit(static_cast<char16_t>(p[i] | p[i + 1] << 8));
    i += 2;
  }
  if (i < n && !stopped_) oddByte_ = p[i];
}

void Utf16ShapeReader::Unit(char16_t u) {
  if (u == 0x000A) {
    EndLine();
    return;
  }
  anyUnit_ = true;
  if (u == 0x000D) return;
  if (!lineHasText_ && raw_ > 0 && u == 0x001A) {
    stopped_ = true;
    return;
  }
  lineHasText_ = true;
  // Characters above ASCII wait until the next ASCII one or the line's end,
  // so that a surrogate pair is joined even when a CR stands between its
  // halves, as it is when the whole line is converted at once.
  if (u < 0x80) {
    FlushWide();
    line_.push_back(static_cast<char>(u));
  } else {
    wide_.push_back(u);
  }
}

void Utf16ShapeReader::FlushWide() {
  if (wide_.empty()) return;
  AppendUtf16AsUtf8(line_, wide_.data(), wide_.size());
  wide_.clear();
}

void Utf16ShapeReader::EndLine() {
  FlushWide();
  // Each line gets a block of its own size; line_ keeps its capacity for
  // the next one.
  if (raw_ == 0 || line_.size() <= static_cast<std::size_t>(kWrapWidth))
    out_.emplace_back(line_);
  else
    AppendWrapped(out_, line_);
  if (progress_ && raw_ > 0 && raw_ % 1000 == 0) progress_(raw_);
  ++raw_;
  line_.clear();
  anyUnit_ = lineHasText_ = false;
}

void Utf16ShapeReader::Finish() {
  if (stopped_) return;
  // A single byte at the end: the old saving rule ended files with the low
  // byte of the last LF; a lone 00 is the high byte of that LF.
  if (oddByte_ > 0) Unit(static_cast<char16_t>(oddByte_));
  oddByte_ = -1;
  if (stopped_) return;
  if (raw_ == 0 || anyUnit_) EndLine();
}

void WriteShapeText(const Lines& lines, std::string_view bom, const std::function<void(std::string_view)>& write,
                    const std::function<void(int)>& progress, std::size_t piece) {
  std::string buf;
  buf.reserve(piece + 4 * static_cast<std::size_t>(kWrapWidth));
  buf.append(bom);
  std::u16string units;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    // One pass that the compiler can widen tells whether the line is ASCII.
    unsigned char high = 0;
    for (const char c : line) high |= static_cast<unsigned char>(c);
    if (high < 0x80) {
      const std::size_t at = buf.size();
      buf.resize(at + 2 * line.size() + 4);
      char* o = buf.data() + at;
      for (const char c : line) {
        *o++ = c;
        *o++ = '\0';
      }
      o[0] = '\r', o[1] = '\0', o[2] = '\n', o[3] = '\0';
    } else {
      units.clear();
      AppendUtf8AsUtf16(units, line);
      units.append(u"\r\n");
      for (const char16_t u : units) {
        buf.push_back(static_cast<char>(u & 0xFF));
        buf.push_back(static_cast<char>(u >> 8));
      }
    }
    if (buf.size() >= piece) {
      write(buf);
      buf.clear();
    }
    if (progress && i > 0 && i % 1000 == 0) progress(static_cast<int>(i));
  }
  if (!buf.empty()) write(buf);
}

}  // namespace lodsmith
