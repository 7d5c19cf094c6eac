#include "core/string_grid.h"

namespace lodsmith {

namespace {
const std::string kEmpty;
}

const std::string& StringGrid::Cell(int col, int row) const {
  if (row < 0 || col < 0 || row >= static_cast<int>(cells_.size())) return kEmpty;
  const auto& r = cells_[row];
  if (col >= static_cast<int>(r.size())) return kEmpty;
  return r[col];
}

void StringGrid::SetCell(int col, int row, std::string text) {
  if (row < 0 || col < 0) return;
  if (row >= static_cast<int>(cells_.size())) {
    if (text.empty()) return;
    cells_.resize(row + 1);
  }
  auto& r = cells_[row];
  if (col >= static_cast<int>(r.size())) {
    if (text.empty()) return;
    r.resize(col + 1);
  }
  r[col] = std::move(text);
}

}  // namespace lodsmith
