// The assignment the generation writes: for every element and LOD the
// sub-object it goes to, the sorted sub-objects, the distances and the LOD
// count. The window reads it from its grids once per action
// (TLSForm::CurrentAssignment); every cell's text is read here, once.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lodsmith {

// One cell of an element's LOD column, read from its text.
class AssignmentCell {
public:
  static constexpr int32_t kAll = 0;       // the element is in every sub-object of the LOD
  static constexpr int32_t kAbsent = 999;  // the element is left out of the LOD

  enum class Kind : uint8_t {
    NotANumber,  // the text is no integer: the generation refuses it
    All,         // exactly "0"
    SubObject,   // the decimal text of a number from 1 on, 999 aside
    Absent,      // any other integer: "999", a negative number, or a number
                 // not written as its own decimal text ("05", "+1", "0999")
  };

  // Reads a cell as the generation reads it: only the exact text of a
  // number places an element, so "05" puts it nowhere.
  static AssignmentCell Read(std::string_view text);

  Kind kind() const { return kind_; }
  bool IsNumber() const { return kind_ != Kind::NotANumber; }
  // The integer the text holds ("05" holds 5); 0 when it holds none.
  int32_t number() const { return number_; }
  // True when the cell puts its element into sub-object `subObject`.
  bool Places(int32_t subObject) const {
    return kind_ == Kind::All || (kind_ == Kind::SubObject && number_ == subObject);
  }
  // True when the cell puts its element into one of the sub-objects
  // 1..subObjects.
  bool PlacesInAnyOf(int32_t subObjects) const {
    return kind_ == Kind::All || (kind_ == Kind::SubObject && number_ <= subObjects);
  }

private:
  Kind kind_ = Kind::NotANumber;
  int32_t number_ = 0;
};

// One row of the element grid.
struct AssignedElement {
  std::string name;                  // for messages
  std::optional<int32_t> faces;      // the "Faces" cell; none when it holds no integer
  std::vector<AssignmentCell> lods;  // index = LOD - 1
};

struct LodAssignment {
  int32_t lodCount = 1;
  std::vector<AssignedElement> elements;  // index = element row - 1
  int32_t subObjectCount = 0;             // data rows of the sub-object grid
  std::vector<std::vector<bool>> sorted;  // [LOD - 1][sub-object - 1]: marked "x" or "X"
  std::vector<std::string> distances;     // [LOD - 1]: written as it stands
  // The triangles an element has in an LOD when they are not its own (a
  // simplified mesh), by {LOD, element row}: vertex indices as the
  // element's lists use them (the template's numbering, inside the vertex
  // set of its vtx_state), three per triangle, one list that replaces all
  // of the element's lists. Absent: the element's lists as they are.
  std::map<std::pair<int32_t, int32_t>, std::vector<int32_t>> triangles;

  int ElementCount() const { return static_cast<int>(elements.size()); }
  // Element row `row` (1-based) in LOD `lod`. A cell outside what was read
  // reads as an empty text does: no number.
  const AssignmentCell& Cell(int row, int lod) const;
  // False outside what was read.
  bool Sorted(int lod, int subObject) const;
  // Empty outside what was read.
  const std::string& Distance(int lod) const;
  // The replacement triangles of element row `row` in LOD `lod`; nullptr
  // when it keeps its own.
  const std::vector<int32_t>* Triangles(int lod, int row) const {
    auto it = triangles.find({lod, row});
    return it == triangles.end() ? nullptr : &it->second;
  }
};

}  // namespace lodsmith
