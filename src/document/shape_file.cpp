#include "document/shape_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace lodsmith {

std::vector<std::string> SplitRawLines(std::string_view bytes) {
  std::vector<std::string> raw;
  std::string current;
  bool pending = false;  // bytes seen since the last LF
  for (char c : bytes) {
    if (c == '\n') {
      raw.push_back(std::move(current));
      current.clear();
      pending = false;
    } else if (c == '\r') {
      pending = true;
    } else {
      current.push_back(c);
      pending = true;
    }
  }
  if (pending) {
    // A lone 00 after the last LF is the LF's own high byte.
    if (!(current.size() == 1 && current[0] == '\0' && !raw.empty())) raw.push_back(std::move(current));
  }
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (!raw[i].empty() && raw[i][0] == '\x1A') {
      raw.resize(i);
      break;
    }
  }
  return raw;
}

std::string DecodeFirstLine(std::string_view raw) {
  std::string out;
  for (std::size_t pos = 3; pos < raw.size(); pos += 2) out.push_back(raw[pos - 1]);
  return out;
}

std::string DecodeLaterLine(std::string_view raw) {
  std::string out;
  for (std::size_t pos = 2; pos < raw.size(); pos += 2) out.push_back(raw[pos - 1]);
  return out;
}

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

DecodedShape DecodeShape(std::string_view bytes, const std::function<void(int)>& progress) {
  DecodedShape result;
  result.bom = std::string(bytes.substr(0, std::min<std::size_t>(2, bytes.size())));
  auto raw = SplitRawLines(bytes);
  if (raw.empty()) return result;
  result.lines.reserve(raw.size());
  result.lines.push_back(DecodeFirstLine(raw[0]));
  for (std::size_t i = 1; i < raw.size(); ++i) {
    AppendWrapped(result.lines, DecodeLaterLine(raw[i]));
    if (progress && i % 1000 == 0) progress(static_cast<int>(i));
  }
  return result;
}

std::string EncodeShape(const Lines& lines, std::string_view bom, const std::function<void(int)>& progress) {
  std::size_t total = bom.size();
  for (const auto& l : lines) total += 2 * l.size() + 4;
  std::string out;
  out.reserve(total);
  out.append(bom);
  if (lines.empty()) return out;
  for (char c : lines[0]) {
    out.push_back(c);
    out.push_back('\0');
  }
  out.append("\r\0\n", 3);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    out.push_back('\0');
    for (char c : lines[i]) {
      out.push_back(c);
      out.push_back('\0');
    }
    out.append("\r\0\n", 3);
    if (progress && i % 1000 == 0) progress(static_cast<int>(i));
  }
  // The high byte of the last LF completes the final code unit.
  out.push_back('\0');
  return out;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw IoError("Die Datei " + path + " kann nicht gelesen werden: " + std::strerror(errno));
  std::string bytes;
  in.seekg(0, std::ios::end);
  auto size = in.tellg();
  if (size < 0) throw IoError("Die Datei " + path + " kann nicht gelesen werden.");
  bytes.resize(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(bytes.data(), size);
  if (!in) throw IoError("Die Datei " + path + " kann nicht gelesen werden.");
  return bytes;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
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
  std::string tmp = ExtractFileDir(path) + "." + ExtractFileName(path) + ".tmp" + std::to_string(::getpid());
  {
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) throw IoError("In " + path + " kann nicht geschrieben werden: " + std::strerror(errno));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = (::fsync(fileno(f)) == 0 || errno == EINVAL) && ok;
    int saved = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
      std::remove(tmp.c_str());
      throw IoError("In " + path + " kann nicht geschrieben werden: " + std::strerror(saved));
    }
  }
  if (!backupPath.empty() && FileExists(path)) {
    std::remove(backupPath.c_str());
    if (std::rename(path.c_str(), backupPath.c_str()) != 0) {
      int saved = errno;
      std::remove(tmp.c_str());
      throw IoError("Die Sicherungskopie " + backupPath + " kann nicht angelegt werden: " + std::strerror(saved));
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    int saved = errno;
    std::remove(tmp.c_str());
    // Put the previous file back where it was.
    if (!backupPath.empty() && FileExists(backupPath) && !FileExists(path))
      std::rename(backupPath.c_str(), path.c_str());
    throw IoError("In " + path + " kann nicht geschrieben werden: " + std::strerror(saved));
  }
}

}  // namespace lodsmith
