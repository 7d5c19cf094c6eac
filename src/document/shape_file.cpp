#include "document/shape_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/native_file.h"

namespace lodsmith {

void AppendWrapped(Lines& out, std::string line) {
  std::size_t start = 0;
  while (line.size() - start > static_cast<std::size_t>(kWrapWidth)) {
    // The last blank among characters 1..210 of the remainder.
    std::size_t cut = std::string::npos;
    for (std::size_t i = start + kWrapWidth; i-- > start;) {
      if (line[i] == ' ') {
        cut = i;
        break;
      }
    }
    // No blank in reach: the rest is stored whole rather than cut inside a
    // keyword or a number.
    if (cut == std::string::npos) break;
    out.emplace_back(line, start, cut + 1 - start);
    start = cut + 1;
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

DecodedShape DecodeShape(std::string_view bytes, const std::function<void(int)>& progress) {
  DecodedShape result;
  result.bom = std::string(bytes.substr(0, std::min<std::size_t>(2, bytes.size())));
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
    if (raw == 0) {
      DecodeSegment(seg, len, 3, line);
      result.lines.push_back(line);
    } else {
      DecodeSegment(seg, len, 2, line);
      if (line.size() > static_cast<std::size_t>(kWrapWidth))
        AppendWrapped(result.lines, line);
      else
        result.lines.push_back(line);
      if (progress && raw % 1000 == 0) progress(raw);
    }
    ++raw;
    if (!nl) break;
    start = end + 1;
    // Bytes after the last LF form one more line only if there are any.
  }
  return result;
}

std::string EncodeShape(const Lines& lines, std::string_view bom, const std::function<void(int)>& progress) {
  std::size_t total = bom.size() + 1;
  for (const auto& l : lines) total += 2 * l.size() + 4;
  std::string out(total, '\0');
  char* o = out.data();
  std::memcpy(o, bom.data(), bom.size());
  o += bom.size();
  if (lines.empty()) {
    out.resize(bom.size());
    return out;
  }
  // The buffer starts zeroed, so only the low bytes need writing.
  for (char c : lines[0]) {
    *o = c;
    o += 2;
  }
  o[0] = '\r';
  o[2] = '\n';
  o += 3;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    ++o;  // high byte of the previous LF
    for (char c : lines[i]) {
      *o = c;
      o += 2;
    }
    o[0] = '\r';
    o[2] = '\n';
    o += 3;
    if (progress && i % 1000 == 0) progress(static_cast<int>(i));
  }
  // The high byte of the last LF completes the final code unit.
  ++o;
  out.resize(static_cast<std::size_t>(o - out.data()));
  return out;
}

std::string ReadFileBytes(const std::string& path) {
  bool regular = false;
  unsigned long long size = 0;
  if (!FileStatus(path, regular, size))
    throw IoError("Die Datei " + path + " kann nicht gelesen werden: " + std::strerror(errno));
  if (!regular) throw IoError(path + " ist keine Datei.");
  std::FILE* f = OpenFile(path, "rb");
  if (!f) throw IoError("Die Datei " + path + " kann nicht gelesen werden: " + std::strerror(errno));
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) throw IoError("Die Datei " + path + " kann nicht gelesen werden.");
  bytes.resize(got);  // the file may have shrunk meanwhile
  return bytes;
}

bool FileExists(const std::string& path) {
  bool regular = false;
  unsigned long long size = 0;
  return FileStatus(path, regular, size) && regular;
}

namespace {

std::size_t NameStart(const std::string& path) {
  auto p = path.find_last_of("/\\:");
  return p == std::string::npos ? 0 : p + 1;
}

}  // namespace

std::string ChangeExtension(const std::string& path, const std::string& ext) {
  std::size_t ns = NameStart(path);
  auto dot = path.rfind('.');
  if (dot == std::string::npos || dot < ns) return path + ext;
  return path.substr(0, dot) + ext;
}

std::string ExtractFileDir(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string ExtractFileName(const std::string& path) { return path.substr(NameStart(path)); }

void WriteFileAtomic(const std::string& path, std::string_view bytes, const std::string& backupPath) {
  std::string tmp = ExtractFileDir(path) + "." + ExtractFileName(path) + ".tmp" + std::to_string(CurrentProcessId());
  {
    std::FILE* f = OpenFile(tmp, "wb");
    if (!f) throw IoError("In " + path + " kann nicht geschrieben werden: " + std::strerror(errno));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = SyncFile(f) && ok;
    int saved = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
      RemoveFile(tmp);
      throw IoError("In " + path + " kann nicht geschrieben werden: " + std::strerror(saved));
    }
  }
  if (!backupPath.empty() && FileExists(path)) {
    RemoveFile(backupPath);
    if (RenameFile(path, backupPath) != 0) {
      int saved = errno;
      RemoveFile(tmp);
      throw IoError("Die Sicherungskopie " + backupPath + " kann nicht angelegt werden: " + std::strerror(saved));
    }
  }
  if (RenameFile(tmp, path) != 0) {
    int saved = errno;
    RemoveFile(tmp);
    // Put the previous file back where it was.
    if (!backupPath.empty() && FileExists(backupPath) && !FileExists(path))
      RenameFile(backupPath, path);
    throw IoError("In " + path + " kann nicht geschrieben werden: " + std::strerror(saved));
  }
}

}  // namespace lodsmith
