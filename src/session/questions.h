// The questions an action of the session may ask half-way, and the one
// interface through which the caller answers them: the window with a message
// box, the batch program from its options.
#pragma once

#include <string>

#include "core/message.h"

namespace lodsmith {

struct Question {
  enum class Kind {
    ByteOrder,     // open a file that has no UTF-16 mark and is none of the shape forms?
    MergePoints,   // merge `count` points within `tolerance`?
    MergeNormals,  // merge `count` normals within `tolerance`?
  };
  Kind kind;
  int32_t count = 0;          // the merges: entries that would go
  long double tolerance = 0;  // the merges: the tolerance asked with
};

class Questions {
public:
  virtual ~Questions() = default;
  // True: go on; false: the action ends without a change.
  virtual bool Ask(const Question& question) = 0;
};

}  // namespace lodsmith
