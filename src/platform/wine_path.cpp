#include "platform/wine_path.h"

#include <cctype>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <vector>

#include "core/text.h"
#include "platform/system_info.h"

namespace lodsmith {

namespace fs = std::filesystem;

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDrive(const std::string& p) { return p.size() >= 2 && IsLetter(p[0]) && p[1] == ':'; }

bool IsUnc(const std::string& p) { return p.size() >= 2 && p[0] == '\\' && p[1] == '\\'; }

#ifndef _WIN32
// Finding a Windows path in the Wine prefix's folders (Linux only).

std::vector<std::string> SplitComponents(const std::string& s) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (IsSep(c)) {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// Windows finds "Train Simulator" as "train simulator": take the exact name
// when it exists, else the first entry that differs only in case.
fs::path Descend(const fs::path& base, const std::string& name) {
  fs::path exact = base / name;
  if (Exists(exact) || name == "." || name == "..") return exact;
  std::error_code ec;
  for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (EqualsIgnoreCase(entry, name)) return it->path();
  }
  return exact;
}

#endif

// The folder of each "<prefix>/dosdevices/<letter>:" link, resolved.
struct DriveLink {
  char letter;
  fs::path target;
};

std::vector<DriveLink> DriveLinks(const std::string& prefix) {
  std::vector<DriveLink> links;
  std::error_code ec;
  fs::path dosdevices = fs::path(prefix) / "dosdevices";
  for (fs::directory_iterator it(dosdevices, ec), end; !ec && it != end; it.increment(ec)) {
    std::string n = it->path().filename().string();
    if (n.size() != 2 || !IsLetter(n[0]) || n[1] != ':') continue;
    std::error_code ec2;
    fs::path target = fs::canonical(it->path(), ec2);
    if (!ec2) links.push_back({static_cast<char>(std::toupper(static_cast<unsigned char>(n[0]))), target});
  }
  if (links.empty()) {
    std::error_code ec2;
    fs::path driveC = fs::canonical(fs::path(prefix) / "drive_c", ec2);
    if (!ec2) links.push_back({'C', driveC});
  }
  return links;
}

// `inner` lies in `outer` (component-wise); sets `rest` to the remainder.
bool Within(const fs::path& inner, const fs::path& outer, fs::path& rest) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // a trailing separator of the outer folder
    if (i == inner.end() || *i != *o) return false;
  }
  rest.clear();
  for (; i != inner.end(); ++i) rest /= *i;
  return true;
}

}  // namespace

std::string DrivePart(const std::string& path) { return HasDrive(path) ? path.substr(0, 2) : ""; }

std::string FolderPart(const std::string& path) {
  auto p = path.find_last_of("\\/");
  return p == std::string::npos ? "" : path.substr(0, p + 1);
}

bool IsWindowsPath(const std::string& path) {
  return (HasDrive(path) && path.size() >= 3 && IsSep(path[2])) || IsUnc(path);
}

std::string HostPath(const std::string& path, [[maybe_unused]] const std::string& prefix) {
#ifdef _WIN32
  return path;
#else
  if (IsUnc(path)) return path;  // no share reaches us through the prefix
  fs::path base;
  std::string rest;
  if (HasDrive(path) && path.size() >= 3 && IsSep(path[2])) {
    char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    fs::path link = fs::path(prefix) / "dosdevices" / (std::string(1, letter) + ":");
    if (Exists(link))
      base = link;
    else if (letter == 'c')
      base = fs::path(prefix) / "drive_c";
    else if (letter == 'z')
      base = "/";
    else
      base = link;
    rest = path.substr(3);
  } else if (!path.empty() && path[0] == '\\') {
    base = "/";
    rest = path.substr(1);
  } else {
    return path;
  }
  for (const auto& part : SplitComponents(rest)) base = Descend(base, part);
  return base.string();
#endif
}

std::string HostPath(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return HostPath(path, WinePrefix());
#endif
}

std::string WinePath(const std::string& path, const std::string& prefix) {
  if (IsWindowsPath(path)) return path;
  std::error_code ec;
  fs::path abs = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (ec) abs = fs::path(path);
  const DriveLink* best = nullptr;
  fs::path bestRest;
  std::size_t bestDepth = 0;
  const std::vector<DriveLink> links = DriveLinks(prefix);
  for (const auto& link : links) {
    fs::path rest;
    if (!Within(abs, link.target, rest)) continue;
    std::size_t depth = static_cast<std::size_t>(std::distance(link.target.begin(), link.target.end()));
    if (!best || depth > bestDepth) {
      best = &link;
      bestRest = rest;
      bestDepth = depth;
    }
  }
  std::string drive = "Z:";
  std::string tail = abs.string();
  if (best) {
    drive = std::string(1, best->letter) + ":";
    tail = "/" + bestRest.string();
  }
  for (char& c : tail)
    if (c == '/') c = '\\';
  return drive + tail;
}

}  // namespace lodsmith
