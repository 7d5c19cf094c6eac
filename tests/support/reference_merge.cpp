#include "reference_merge.h"

#include <cmath>

namespace lodsmith::test {

ReferenceMergeResult ReferenceMerge(const std::vector<Coords>& c, long double tolerance, bool normals) {
  auto signClass = [](long double v) {
    double d = static_cast<double>(v);
    return d == 0 ? 0 : (std::signbit(d) ? -1 : 1);
  };
  ReferenceMergeResult r;
  const std::size_t n = c.size();
  r.newIndex.assign(n, 0);
  r.kept.assign(n, 1);
  for (std::size_t s = 0; s < n; ++s) {
    for (std::size_t k = s; k-- > 0;) {
      bool same = true;
      if (normals)
        for (int d = 0; d < 3 && same; ++d) same = signClass(c[k][d]) == signClass(c[s][d]);
      if (!same) continue;
      if (std::fabs(c[k][0] - c[s][0]) <= tolerance && std::fabs(c[k][1] - c[s][1]) <= tolerance &&
          std::fabs(c[k][2] - c[s][2]) <= tolerance) {
        r.kept[s] = 0;
        r.newIndex[s] = r.newIndex[k];
        break;
      }
    }
    if (r.kept[s]) r.newIndex[s] = r.K++;
  }
  return r;
}

}  // namespace lodsmith::test
