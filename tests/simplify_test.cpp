#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/message.h"
#include "simplify/move_queue.h"
#include "simplify/simplify.h"
#include "simplify/simplify_messages.h"
#include "simplify_meshes.h"

namespace lodsmith {
namespace {

using test::PointOf;

// How often each edge (as a pair of points) is used.
std::map<std::pair<int32_t, int32_t>, int> EdgeUses(const SimplifyMesh& mesh, const std::vector<int32_t>& indices) {
  std::map<std::pair<int32_t, int32_t>, int> uses;
  for (size_t t = 0; t + 2 < indices.size(); t += 3)
    for (int k = 0; k < 3; ++k) {
      const int32_t a = PointOf(mesh, indices[t + k]), b = PointOf(mesh, indices[t + (k + 1) % 3]);
      ++uses[{std::min(a, b), std::max(a, b)}];
    }
  return uses;
}

// The checks every result passes: its own vertices only, no triangle without
// surface, no new edge of more than two triangles, at least one triangle,
// and a reported error that bounds the sampled distance to the input.
void ExpectSound(const SimplifyMesh& mesh, const SimplifyResult& r, const std::string& name) {
  SCOPED_TRACE(name);
  ASSERT_EQ(r.indices.size(), static_cast<size_t>(r.trianglesAfter) * 3);
  EXPECT_EQ(r.trianglesBefore, static_cast<int32_t>(mesh.indices.size() / 3));
  EXPECT_GE(r.trianglesAfter, 1);
  EXPECT_LE(r.trianglesAfter, r.trianglesBefore);
  for (int32_t i : r.indices) ASSERT_TRUE(i >= 0 && static_cast<size_t>(i) < mesh.positions.size());
  for (size_t t = 0; t < r.indices.size(); t += 3) {
    const int32_t a = PointOf(mesh, r.indices[t]), b = PointOf(mesh, r.indices[t + 1]),
                  c = PointOf(mesh, r.indices[t + 2]);
    EXPECT_TRUE(a != b && b != c && a != c) << "triangle " << t / 3 << " names a point twice";
  }
  const auto before = EdgeUses(mesh, mesh.indices);
  for (const auto& [edge, uses] : EdgeUses(mesh, r.indices))
    if (uses > 2) {
      const auto it = before.find(edge);
      EXPECT_TRUE(it != before.end() && it->second >= uses) << "edge " << edge.first << "-" << edge.second;
    }
  const double diagonal = test::Diagonal(mesh.positions);
  const double measured = test::SampledHausdorff(mesh.positions, mesh.indices, r.indices, diagonal / 100);
  EXPECT_LE(measured, r.error + 1e-9 * diagonal) << "reported " << r.error;
}

SimplifyMesh WavySheet(int n) {
  SimplifyMesh m = test::FlatGrid(n, n, 10);
  for (auto& p : m.positions) p[2] = 0.5 * std::sin(p[0]) * std::cos(0.7 * p[1]);
  return m;
}

struct BudgetCase {
  const char* name;
  SimplifyMesh mesh;
  double budget;
  int32_t expectedAfter;  // -1: any count
};

TEST(Simplify, BudgetCasesKeepOrReduceAsExpected) {
  const BudgetCase cases[] = {
      {"flat grid at zero error", test::FlatGrid(8, 8, 10), 0.0, 2},
      {"flat grid at a small budget", test::FlatGrid(5, 9, 3), 1e-6, 2},
      {"flat grid split at every edge", test::SplitAtEveryEdge(test::FlatGrid(6, 6, 10)), 0.0, 2},
      {"seam cube at a small budget", test::SeamCube(1), 0.01, 12},
      {"cube split at every edge", test::SplitAtEveryEdge(test::SeamCube(2)), 0.02, 12},
      {"a triangle without area goes", test::SliverDiamond(), 0.0, 2},
      {"one triangle, any budget", test::FlatGrid(1, 1, 1), 1e9, -1},
      {"wavy sheet", WavySheet(16), 0.05, -1},
      {"sphere", test::Sphere(12, 1), 0.02, -1},
  };
  for (const BudgetCase& c : cases) {
    const SimplifyResult r = Simplify(c.mesh, SimplifyTarget::MaxError(c.budget));
    ExpectSound(c.mesh, r, c.name);
    EXPECT_LE(r.error, c.budget) << c.name;
    EXPECT_FALSE(r.stoppedEarly) << c.name;
    if (c.expectedAfter >= 0) {
      EXPECT_EQ(r.trianglesAfter, c.expectedAfter) << c.name;
    } else if (c.mesh.indices.size() > 6) {
      EXPECT_LT(r.trianglesAfter, r.trianglesBefore) << c.name;
    }
  }
}

TEST(Simplify, FlatGridKeepsItsCorners) {
  const SimplifyMesh grid = test::FlatGrid(7, 7, 7);
  const SimplifyResult r = Simplify(grid, SimplifyTarget::MaxError(0));
  std::set<int32_t> used(r.indices.begin(), r.indices.end());
  EXPECT_EQ(used, (std::set<int32_t>{0, 7, 56, 63}));
  EXPECT_EQ(r.error, 0);
}

TEST(Simplify, CylinderErrorGrowsWithReductionAndStaysWithinBudget) {
  const SimplifyMesh cylinder = test::Cylinder(48, 12, 1, 3);
  double previous = -1;
  int32_t previousCount = std::numeric_limits<int32_t>::max();
  for (double ratio : {0.8, 0.5, 0.25, 0.1, 0.04}) {
    const SimplifyResult r = Simplify(cylinder, SimplifyTarget::Ratio(ratio));
    ExpectSound(cylinder, r, "ratio " + std::to_string(ratio));
    EXPECT_GE(r.error, previous) << ratio;
    EXPECT_LE(r.trianglesAfter, static_cast<int32_t>(std::ceil(ratio * r.trianglesBefore)) + 1) << ratio;
    EXPECT_LT(r.trianglesAfter, previousCount);
    previous = r.error;
    previousCount = r.trianglesAfter;
  }
  EXPECT_GT(previous, 0);
  previousCount = std::numeric_limits<int32_t>::max();
  for (double budget : {0.001, 0.01, 0.05, 0.2}) {
    const SimplifyResult r = Simplify(cylinder, SimplifyTarget::MaxError(budget));
    ExpectSound(cylinder, r, "budget " + std::to_string(budget));
    EXPECT_LE(r.error, budget);
    EXPECT_LE(r.trianglesAfter, previousCount) << budget;
    previousCount = r.trianglesAfter;
  }
  EXPECT_LT(previousCount, 96);
}

TEST(Simplify, RatioStopsWhereNoCollapseIsLeftAndSaysSo) {
  const SimplifyMesh cube = test::SeamCube(1);
  const SimplifyResult r = Simplify(cube, SimplifyTarget::Ratio(0.01));
  ExpectSound(cube, r, "cube");
  EXPECT_TRUE(r.stoppedEarly);
  EXPECT_GE(r.trianglesAfter, 4);  // a closed surface keeps a volume
  const SimplifyResult half = Simplify(test::FlatGrid(10, 10, 1), SimplifyTarget::Ratio(0.5));
  EXPECT_FALSE(half.stoppedEarly);
  // A collapse takes one triangle on a border, two inside: 100 or one fewer.
  EXPECT_GE(half.trianglesAfter, 99);
  EXPECT_LE(half.trianglesAfter, 100);
}

// Points on an open border stay on the input's border line; within a budget
// smaller than cutting a corner costs, every border edge keeps to one side.
TEST(Simplify, OpenBordersMoveOnlyAlongThemselves) {
  for (const SimplifyMesh& sheet : {WavySheet(12), test::SplitAtEveryEdge(WavySheet(9))}) {
    std::set<std::pair<int32_t, int32_t>> borderBefore;
    for (const auto& [edge, uses] : EdgeUses(sheet, sheet.indices))
      if (uses == 1) borderBefore.insert(edge);
    const SimplifyResult r = Simplify(sheet, SimplifyTarget::MaxError(0.05));
    ExpectSound(sheet, r, "sheet");
    EXPECT_LT(r.trianglesAfter, r.trianglesBefore);
    std::map<int32_t, std::array<double, 3>> at;  // point -> position
    for (size_t v = 0; v < sheet.positions.size(); ++v)
      at[PointOf(sheet, static_cast<int32_t>(v))] = sheet.positions[v];
    std::set<int32_t> borderPoints;
    for (const auto& [a, b] : borderBefore) borderPoints.insert({a, b});
    for (const auto& [edge, uses] : EdgeUses(sheet, r.indices))
      if (uses == 1) {
        EXPECT_TRUE(borderPoints.count(edge.first) && borderPoints.count(edge.second));
        // Both ends on the same side of the square (z varies, x or y does not).
        const auto& p = at[edge.first];
        const auto& q = at[edge.second];
        EXPECT_TRUE(p[0] == q[0] || p[1] == q[1]) << edge.first << "-" << edge.second;
      }
  }
}

TEST(Simplify, LockedVerticesStay) {
  SimplifyMesh grid = test::FlatGrid(6, 6, 6);
  grid.locked.assign(grid.positions.size(), 0);
  const int32_t centre = 3 * 7 + 3, side = 2;
  grid.locked[centre] = grid.locked[side] = 1;
  for (const SimplifyTarget& target : {SimplifyTarget::MaxError(0), SimplifyTarget::Ratio(0.05)}) {
    const SimplifyResult r = Simplify(grid, target);
    ExpectSound(grid, r, "locked grid");
    std::set<int32_t> used(r.indices.begin(), r.indices.end());
    EXPECT_TRUE(used.count(centre));
    EXPECT_TRUE(used.count(side));
    EXPECT_LT(r.trianglesAfter, 72);
  }
}

TEST(Simplify, OneTriangleStays) {
  const SimplifyMesh one = test::FlatGrid(1, 1, 1);
  SimplifyMesh single = one;
  single.indices.resize(3);
  for (const SimplifyTarget& target : {SimplifyTarget::Ratio(0.01), SimplifyTarget::MaxError(1e9)}) {
    const SimplifyResult r = Simplify(single, target);
    EXPECT_EQ(r.indices, single.indices);
    EXPECT_EQ(r.error, 0);
    const SimplifyResult two = Simplify(one, target);
    ExpectSound(one, two, "two triangles");
  }
}

TEST(Simplify, SmallDisconnectedPieceVanishesWithinBudget) {
  const SimplifyMesh body = test::Cylinder(32, 4, 1, 2);
  // A small cube 2 cm off the cylinder's side.
  const SimplifyMesh mesh = test::Joined(body, test::SeamCube(0.05), {1.02, -0.025, 0.9});
  const auto pieceVertex = static_cast<int32_t>(body.positions.size());
  const auto usesPiece = [&](const SimplifyResult& r) {
    return std::any_of(r.indices.begin(), r.indices.end(), [&](int32_t v) { return v >= pieceVertex; });
  };
  const SimplifyResult loose = Simplify(mesh, SimplifyTarget::MaxError(0.2));
  ExpectSound(mesh, loose, "loose budget");
  EXPECT_FALSE(usesPiece(loose));
  EXPECT_LE(loose.error, 0.2);
  const SimplifyResult tight = Simplify(mesh, SimplifyTarget::MaxError(0.01));
  ExpectSound(mesh, tight, "tight budget");
  EXPECT_TRUE(usesPiece(tight));
}

// Collapses take points away inside each piece; what is left of a piece
// vanishes whole or stays, and the bound holds either way.
TEST(Simplify, PiecesStayWholeAfterCollapses) {
  struct Case {
    const char* name;
    SimplifyMesh mesh;
    SimplifyTarget target;
    int32_t piecesLeft;  // -1: any
  };
  const SimplifyMesh sphere = test::Sphere(10, 1), bolt = test::Cylinder(8, 2, 0.03, 0.1);
  const SimplifyMesh withBolt = test::Joined(sphere, bolt, {0, 0, 1.02});
  const SimplifyMesh twoBolts = test::Joined(withBolt, bolt, {0.5, 0, 0.9});
  const Case cases[] = {
      {"two spheres by share", test::Joined(sphere, sphere, {3, 0, 0}), SimplifyTarget::Ratio(0.05), -1},
      {"bolts by share", twoBolts, SimplifyTarget::Ratio(0.02), -1},
      {"a bolt by budget", withBolt, SimplifyTarget::MaxError(0.3), 1},
      {"two bolts by budget", twoBolts, SimplifyTarget::MaxError(0.3), 1},
      {"two bolts kept by a tight budget", twoBolts, SimplifyTarget::MaxError(0.01), 3},
  };
  for (const Case& c : cases) {
    const SimplifyResult r = Simplify(c.mesh, c.target);
    ExpectSound(c.mesh, r, c.name);
    if (c.piecesLeft < 0) continue;
    // Joined in order: the sphere, then each bolt.
    const auto first = static_cast<int32_t>(sphere.positions.size());
    const auto bolts = static_cast<int32_t>(bolt.positions.size());
    std::set<int32_t> pieces;
    for (int32_t v : r.indices) pieces.insert(v < first ? 0 : 1 + (v - first) / bolts);
    EXPECT_EQ(static_cast<int32_t>(pieces.size()), c.piecesLeft) << c.name;
  }
}

TEST(Simplify, TrianglesWithoutSurfaceAreLeftOut) {
  SimplifyMesh grid = test::FlatGrid(4, 4, 4);
  const auto before = grid.indices;
  grid.indices.insert(grid.indices.end(), {0, 0, 1});  // a vertex twice
  grid.positions.push_back(grid.positions[5]);
  grid.positionIds.push_back(5);
  const auto twin = static_cast<int32_t>(grid.positions.size() - 1);
  grid.indices.insert(grid.indices.end(), {5, twin, 6});  // a point twice
  const SimplifyResult r = Simplify(grid, SimplifyTarget::MaxError(0));
  ExpectSound(grid, r, "degenerate");
  EXPECT_EQ(r.trianglesBefore, 34);
  EXPECT_EQ(r.trianglesAfter, 2);

  SimplifyMesh onlyDegenerate = test::FlatGrid(1, 1, 1);
  onlyDegenerate.indices = {0, 1, 1, 2, 2, 3};
  const SimplifyResult kept = Simplify(onlyDegenerate, SimplifyTarget::Ratio(0.5));
  EXPECT_EQ(kept.trianglesAfter, 1);

  const SimplifyResult empty = Simplify(SimplifyMesh{}, SimplifyTarget::Ratio(0.5));
  EXPECT_TRUE(empty.indices.empty());
  EXPECT_EQ(empty.trianglesBefore, 0);
  (void)before;
}

TEST(Simplify, BadInputIsRefused) {
  struct Case {
    const char* name;
    SimplifyMesh mesh;
    SimplifyMsg expected;
  };
  SimplifyMesh infinite = test::FlatGrid(2, 2, 1), nan = infinite, outside = infinite, sizes = infinite;
  infinite.positions[4][1] = std::numeric_limits<double>::infinity();
  nan.positions[0][2] = std::numeric_limits<double>::quiet_NaN();
  outside.indices[5] = 9;
  sizes.positionIds.pop_back();
  const Case cases[] = {{"infinite", infinite, SimplifyMsg::NotFinite},
                        {"nan", nan, SimplifyMsg::NotFinite},
                        {"index outside", outside, SimplifyMsg::IndexOutside},
                        {"sizes", sizes, SimplifyMsg::SizesDiffer}};
  for (const Case& c : cases) {
    try {
      Simplify(c.mesh, SimplifyTarget::Ratio(0.5));
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const Error& e) {
      EXPECT_TRUE(e.Is(c.expected)) << c.name << ": " << e.what();
    }
  }
}

TEST(Simplify, SameInputSameResult) {
  const SimplifyMesh meshes[] = {test::SplitAtEveryEdge(test::Sphere(16, 2)), test::Cylinder(40, 10, 1, 4),
                                 WavySheet(20)};
  for (const SimplifyMesh& mesh : meshes)
    for (const SimplifyTarget& target : {SimplifyTarget::Ratio(0.3), SimplifyTarget::MaxError(0.03)}) {
      const SimplifyResult a = Simplify(mesh, target);
      SimplifyMesh copy = mesh;
      copy.positions.reserve(copy.positions.size() * 3);  // other memory, same numbers
      const SimplifyResult b = Simplify(copy, target);
      EXPECT_EQ(a.indices, b.indices);
      EXPECT_EQ(a.error, b.error);
      ExpectSound(mesh, a, "determinism");
    }
}

// A thread keeps its working memory for its next mesh: what it simplified
// before changes nothing, also after a mesh too large for the memory to stay.
TEST(Simplify, EarlierMeshesChangeNothing) {
  const SimplifyMesh meshes[] = {test::SplitAtEveryEdge(test::Sphere(16, 2)), test::Sphere(130, 1),
                                 test::FlatGrid(12, 9, 1), test::Cylinder(40, 10, 1, 4)};
  const SimplifyTarget targets[] = {SimplifyTarget::Ratio(0.3), SimplifyTarget::MaxError(0.03)};
  std::vector<SimplifyResult> alone;  // each in a thread of its own
  for (const SimplifyMesh& mesh : meshes)
    for (const SimplifyTarget& target : targets) std::thread([&] { alone.push_back(Simplify(mesh, target)); }).join();
  for (int pass = 0; pass < 2; ++pass) {
    size_t k = 0;
    for (const SimplifyMesh& mesh : meshes)
      for (const SimplifyTarget& target : targets) {
        const SimplifyResult after = Simplify(mesh, target);
        EXPECT_EQ(after.indices, alone[k].indices) << "mesh " << k / 2 << ", pass " << pass;
        EXPECT_EQ(after.error, alone[k].error) << "mesh " << k / 2 << ", pass " << pass;
        ++k;
      }
  }
}

// The queue against a sorted set: after every change the move on top is the
// least of those queued, and a point's new move replaces its old one. Costs
// repeat, so the ties are decided by quadric error, seam and index.
TEST(Simplify, MoveQueueKeepsTheLeastMoveOnTop) {
  constexpr int32_t kPoints = 200;
  simplify::MoveQueue queue(kPoints);
  const auto before = [](const simplify::Move& a, const simplify::Move& b) { return simplify::Before(a, b); };
  std::set<simplify::Move, decltype(before)> expected(before);
  std::vector<simplify::Move> of(kPoints);
  std::vector<bool> queued(kPoints, false);
  uint32_t state = 12345;
  const auto next = [&state](uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  };
  for (int step = 0; step < 20000; ++step) {
    const auto p = static_cast<int32_t>(next(kPoints));
    if (queued[p]) expected.erase(of[p]);
    if (next(4) == 0) {
      queue.Remove(p);
      queued[p] = false;
    } else {
      of[p] = {static_cast<double>(next(50)), static_cast<double>(next(3)), static_cast<int32_t>(next(3)), p,
               static_cast<int32_t>(next(kPoints))};
      queue.Set(of[p]);
      expected.insert(of[p]);
      queued[p] = true;
    }
    ASSERT_EQ(queue.Empty(), expected.empty()) << step;
    if (expected.empty()) continue;
    const simplify::Move& top = queue.Top();
    ASSERT_EQ(top.from, expected.begin()->from) << step;
    ASSERT_EQ(top.to, expected.begin()->to) << step;
    // A cost just below the next move's keeps the top there; above it, not.
    if (expected.size() > 1) {
      simplify::Move dearer = top;
      dearer.cost = std::next(expected.begin())->cost + 1;
      EXPECT_FALSE(queue.StaysOnTop(dearer)) << step;
      EXPECT_TRUE(queue.StaysOnTop(top)) << step;
    }
  }
  // Taken out from the top, the moves come in order.
  for (const simplify::Move& m : expected) {
    ASSERT_FALSE(queue.Empty());
    EXPECT_EQ(queue.Top().from, m.from);
    queue.Remove(queue.Top().from);
  }
  EXPECT_TRUE(queue.Empty());
}

}  // namespace
}  // namespace lodsmith
