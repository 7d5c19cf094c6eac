// The course shared by the point and the normal merge targets. The input is
// a control line, the tolerance as typed into its edit field (the decimal
// separator is the comma), then the shape. Every question is answered Yes.
//
// A refused merge leaves the document as it was; a merge of a sound shape
// gives a sound shape: every vertex and face still refers to an entry that
// exists.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fuzz_harness.h"

namespace lodsmith::fuzz {

struct MergeTarget {
  const char* action;
  TEdit TLSForm::*edit;
  void (TLSForm::*exit)();
  TButton TLSForm::*button;
  void (TLSForm::*click)();
};

inline int RunMergeTarget(const MergeTarget& t, const uint8_t* data, std::size_t size) {
  const auto [control, shape] = SplitControl(AsText(data, size));
  FuzzForm fx;
  TLSForm& form = fx.form();
  if (!fx.Open(ShapeImage(shape)) || !(form.*t.button).Enabled) return 0;
  (form.*t.edit).Text = std::string(control);
  fx.Dispatch([&] { (form.*t.exit)(); });
  fx.Act(t.action, [&] { (form.*t.click)(); });
  return 0;
}

}  // namespace lodsmith::fuzz
