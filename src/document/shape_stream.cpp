#include "document/shape_stream.h"

#include "document/shape_file.h"

namespace lodsmith {

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
  for (; i + 1 < n && !stopped_; i += 2) {
    const unsigned lo = p[i], hi = p[i + 1];
    // Most of a shape is ASCII text and tabs: straight into the line. A
    // character waiting in wide_ (half a pair, say) goes through Unit.
    if (hi == 0 && (lo >= 0x20 ? lo < 0x80 : lo == '\t') && wide_.empty()) {
      line_.push_back(static_cast<char>(lo));
      anyUnit_ = lineHasText_ = true;
      continue;
    }
    Unit(static_cast<char16_t>(lo | hi << 8));
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
    const std::size_t at = buf.size();
    buf.resize(at + 2 * line.size() + 4);
    char* o = buf.data() + at;
    bool ascii = true;
    for (const char c : line) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        ascii = false;
        break;
      }
      *o++ = c;
      *o++ = '\0';
    }
    if (ascii) {
      o[0] = '\r', o[1] = '\0', o[2] = '\n', o[3] = '\0';
    } else {
      buf.resize(at);
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
