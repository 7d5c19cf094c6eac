// The columns of the window's grids. Row 0 of every grid is its header row;
// data rows count from 1.
#pragma once

#include "core/string_grid.h"

namespace lodsmith::grid {

// The header row of every grid, with the column titles.
inline constexpr int kHeaderRow = 0;

// The data rows of a grid.
inline int DataRows(const StringGrid& g) { return g.RowCount() - 1; }

// StringGrid1, the elements: one row per prim_state, then one column per LOD
// with the sub-object the element goes to.
inline constexpr int kElementName = 0;
inline constexpr int kElementImage = 1;
inline constexpr int kElementFaces = 2;
inline constexpr int ElementLodColumn(int lod) { return lod + 2; }  // "L 1" is column 3

// StringGrid2, the sub-objects: the number, the vertices of the LOD shown,
// then one column per LOD with the sort mark.
inline constexpr int kSubObjectNumber = 0;
inline constexpr int kSubObjectVertices = 1;
inline constexpr int SubObjectSortColumn(int lod) { return lod + 1; }

// StringGrid3, the matrices.
inline constexpr int kMatrixName = 0;
inline constexpr int kMatrixFaces = 1;
inline constexpr int kMatrixAnimated = 2;

// StringGrid4, the distances: row L is LOD L.
inline constexpr int kDistanceLod = 0;
inline constexpr int kDistance = 1;

// StringGrid5, the LOD overview: row L is LOD L.
inline constexpr int kOverviewLod = 0;
inline constexpr int kOverviewDistance = 1;
inline constexpr int kOverviewFaces = 2;

}  // namespace lodsmith::grid
