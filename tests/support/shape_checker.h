// What the tests read from written shapes: the structural check of the core
// (document/shape_check.h) as a list of texts, and a tree of the bracket
// syntax with the summaries a test compares an input shape with a written
// one by. The tree is read independently of the program's readers and
// writers.
#pragma once

#include <string>
#include <vector>

#include "core/text.h"
#include "document/shape_check.h"

namespace lodsmith::test {

// One bracketed block: `name [label] ( values and child blocks )`.
struct ShapeNode {
  std::string name;
  std::string label;                // "matrix NAME (", "prim_state NAME (", "anim_node NAME ("
  std::vector<std::string> values;  // the plain tokens of the block, in order
  std::vector<ShapeNode> children;
  int line = 0;  // 0-based line of the name

  const ShapeNode* Child(const std::string& childName) const;
  std::vector<const ShapeNode*> ChildrenNamed(const std::string& childName) const;
};

// Parses the whole shape (line 0, the file header, is skipped). Returns the
// top-level blocks; problems of the syntax itself go to `problems`.
std::vector<ShapeNode> ParseShapeBlocks(const Lines& lines, std::vector<std::string>& problems);

// Every problem the core's check finds, one text each (German); empty for a
// sound shape.
std::vector<std::string> CheckShapeStructure(const Lines& lines);

// What a test needs to compare an input shape with a written one.
struct PrimitiveSummary {
  int primStateIdx = -1;
  std::vector<long long> vertexIdxs;    // the indices, without the count
  std::vector<std::string> normalIdxs;  // the tokens of normal_idxs, count included
  std::vector<std::string> flags;       // the tokens of flags, count included
};
struct SubObjectSummary {
  std::vector<std::string> header;                 // values of sub_object_header
  std::vector<std::vector<std::string>> vertices;  // the tokens of each vertex, its children included
  std::vector<PrimitiveSummary> primitives;
};
struct LodSummary {
  std::string distance;  // value of dlevel_selection
  std::vector<SubObjectSummary> subObjects;
};
struct ShapeSummary {
  std::vector<LodSummary> lods;
  int volumes = 0;
  int sortVectors = 0;
};
ShapeSummary SummariseShape(const Lines& lines);

}  // namespace lodsmith::test
