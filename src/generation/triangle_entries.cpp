#include "generation/triangle_entries.h"

#include <array>
#include <cmath>
#include <map>

namespace lodsmith {

namespace {

using Corners = std::array<int32_t, 3>;

// The same triangle whichever corner it is read from: turned so that its
// smallest vertex comes first (the turn, and so the facing, is kept).
Corners Canonical(int32_t a, int32_t b, int32_t c) {
  if (a <= b && a <= c) return {a, b, c};
  if (b <= a && b <= c) return {b, c, a};
  return {c, a, b};
}

Point3 Sub(const Point3& a, const Point3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Point3 Cross(const Point3& a, const Point3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Point3& a, const Point3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Point3 Unit(const Point3& a) {
  const double l = std::sqrt(Dot(a, a));
  return l > 0 ? Point3{a[0] / l, a[1] / l, a[2] / l} : Point3{0, 0, 0};
}

// The face normal of a triangle from the points of its vertices (unit, or
// zero for a triangle without area).
Point3 FaceNormal(const int32_t* t, const GeometrySubObject& sub, const ModelGeometry& g) {
  auto at = [&](int32_t v) { return g.points[static_cast<std::size_t>(sub.vertexPoint[static_cast<std::size_t>(v)])]; };
  return Unit(Cross(Sub(at(t[1]), at(t[0])), Sub(at(t[2]), at(t[0]))));
}

// An entry of the element's lists that names an existing normal.
struct Candidate {
  std::size_t entry;  // index of its first triangle
  Point3 normal;      // unit
};

}  // namespace

TriangleEntries EntriesOf(std::span<const int32_t> triangles, const GeometryPrimitive& original,
                          const GeometrySubObject& sub, const ModelGeometry& g) {
  const std::size_t own = original.indices.size() / 3;
  std::map<Corners, std::size_t> existing;
  std::map<std::string, std::size_t> normalSeen;  // entry text -> its first triangle
  std::vector<Candidate> candidates;
  std::map<std::string, std::pair<std::size_t, std::size_t>> flagCount;  // flags -> {count, first triangle}
  double facing = 0;
  for (std::size_t k = 0; k < own; ++k) {
    const int32_t* t = &original.indices[3 * k];
    existing.emplace(Canonical(t[0], t[1], t[2]), k);
    if (k < original.flags.size() && !original.flags[k].empty()) {
      auto& f = flagCount.try_emplace(original.flags[k], 0, k).first->second;
      ++f.first;
    }
    if (k >= original.normals.size() || original.normals[k] < 0) continue;
    const Point3 n = Unit(g.normals[static_cast<std::size_t>(original.normals[k])]);
    facing += Dot(FaceNormal(t, sub, g), n);
    if (normalSeen.emplace(original.normalEntries[k], k).second) candidates.push_back({k, n});
  }
  // The normals of the element point away from its faces as its own
  // triangles turn (the file's winding decides the sign of the cross product).
  const double sign = facing < 0 ? -1 : 1;

  std::string commonFlags = "00000000";
  std::size_t most = 0, first = 0;
  for (const auto& [text, seen] : flagCount)
    if (seen.first > most || (seen.first == most && seen.second < first)) {
      commonFlags = text;
      most = seen.first;
      first = seen.second;
    }
  // Without a usable normal, the element's first entry stands for all.
  std::string fallback = "0 3";
  for (const std::string& e : original.normalEntries)
    if (!e.empty()) {
      fallback = e;
      break;
    }

  TriangleEntries out;
  const std::size_t n = triangles.size() / 3;
  out.normals.reserve(n);
  out.flags.reserve(n);
  for (std::size_t k = 0; k < n; ++k) {
    const int32_t* t = &triangles[3 * k];
    auto same = existing.find(Canonical(t[0], t[1], t[2]));
    if (same != existing.end() && same->second < original.normalEntries.size() &&
        !original.normalEntries[same->second].empty()) {
      out.normals.push_back(original.normalEntries[same->second]);
      const std::size_t i = same->second;
      out.flags.push_back(i < original.flags.size() && !original.flags[i].empty() ? original.flags[i] : commonFlags);
      continue;
    }
    const Point3 face = FaceNormal(t, sub, g);
    const Point3 turned = {sign * face[0], sign * face[1], sign * face[2]};
    const Candidate* best = nullptr;
    double bestDot = -2;
    for (const Candidate& c : candidates) {
      const double d = Dot(turned, c.normal);
      if (d > bestDot) {
        bestDot = d;
        best = &c;
      }
    }
    out.normals.push_back(best ? original.normalEntries[best->entry] : fallback);
    out.flags.push_back(commonFlags);
  }
  return out;
}

}  // namespace lodsmith
