// Synthetic meshes for the simplifier's tests and benchmarks, and a sampled
// symmetric Hausdorff distance to check the error it reports.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "simplify/simplify.h"

namespace lodsmith::test {

// A flat open grid of nx × ny squares (two triangles each) in z = 0,
// `size` wide, facing +z; one vertex per point.
SimplifyMesh FlatGrid(int nx, int ny, double size);

// A cube of edge `size` whose six faces have their own four vertices (a
// texture seam along every edge): 24 vertices on 8 points, 12 triangles.
SimplifyMesh SeamCube(double size);

// A diamond of four triangles in z = 0 whose upper half is split at the
// middle of its diagonal, with a triangle without area (the diagonal and
// its middle point) between the halves.
SimplifyMesh SliverDiamond();

// A closed cylinder around z: `segments` around, `rings` squares high,
// capped by a fan round a centre point at each end.
SimplifyMesh Cylinder(int segments, int rings, double radius, double height);

// A sphere of `rings` latitude bands by 2 × rings segments.
SimplifyMesh Sphere(int rings, double radius);

// The same surface with every triangle corner a vertex of its own on the
// same point (as exporters split vertices at nearly every edge).
SimplifyMesh SplitAtEveryEdge(const SimplifyMesh& mesh);

// Both meshes as one (b's vertices and points after a's), b moved by `offset`.
SimplifyMesh Joined(const SimplifyMesh& a, const SimplifyMesh& b, std::array<double, 3> offset);

// The point (position id) of every vertex, position ids taken as given.
int32_t PointOf(const SimplifyMesh& mesh, int32_t vertex);

// The symmetric Hausdorff distance between the surfaces of `indicesA` and
// `indicesB` over the same positions, estimated from points sampled on each
// (corners, and a lattice of about `spacing` over every triangle) and
// their exact distances to the other surface (a grid finds the nearby
// triangles). A lower estimate of the true distance: never above it.
double SampledHausdorff(const std::vector<std::array<double, 3>>& positions, const std::vector<int32_t>& indicesA,
                        const std::vector<int32_t>& indicesB, double spacing);

// The longest diagonal of the positions' bounding box.
double Diagonal(const std::vector<std::array<double, 3>>& positions);

}  // namespace lodsmith::test
