#include "generation/lod_assignment.h"

#include "core/text.h"

namespace lodsmith {

namespace {

// True when an integer's text is its own decimal form: no "+", no leading
// zero, no "-0". (The text has passed ParseInt32.)
bool IsOwnDecimalText(std::string_view text) {
  if (text.front() == '+') return false;
  const bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.size() > 1 && text.front() == '0') return false;
  return !(negative && text == "0");
}

}  // namespace

AssignmentCell AssignmentCell::Read(std::string_view text) {
  AssignmentCell cell;
  const std::optional<int32_t> v = ParseInt32(text);
  if (!v) return cell;
  cell.number_ = *v;
  // A cell places its element by its exact text: a sub-object is named by
  // its number as the grid shows it, and a text that merely parses to one
  // ("05", "+1") is nobody's number.
  const bool exact = IsOwnDecimalText(text);
  if (exact && *v == kAll)
    cell.kind_ = Kind::All;
  else if (exact && *v >= 1 && *v != kAbsent)
    cell.kind_ = Kind::SubObject;
  else
    cell.kind_ = Kind::Absent;
  return cell;
}

const AssignmentCell& LodAssignment::Cell(int row, int lod) const {
  static const AssignmentCell kEmpty;
  if (row < 1 || row > ElementCount()) return kEmpty;
  const std::vector<AssignmentCell>& cells = elements[static_cast<std::size_t>(row - 1)].lods;
  if (lod < 1 || lod > static_cast<int>(cells.size())) return kEmpty;
  return cells[static_cast<std::size_t>(lod - 1)];
}

bool LodAssignment::Sorted(int lod, int subObject) const {
  if (lod < 1 || lod > static_cast<int>(sorted.size())) return false;
  const std::vector<bool>& marks = sorted[static_cast<std::size_t>(lod - 1)];
  return subObject >= 1 && subObject <= static_cast<int>(marks.size()) &&
         marks[static_cast<std::size_t>(subObject - 1)];
}

const std::string& LodAssignment::Distance(int lod) const {
  static const std::string kNone;
  if (lod < 1 || lod > static_cast<int>(distances.size())) return kNone;
  return distances[static_cast<std::size_t>(lod - 1)];
}

}  // namespace lodsmith
