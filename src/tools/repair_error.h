// The error the repair tools throw when a shape does not have the layout
// they read. Its message is German and meant for the user; the document the
// tool was given is never changed when it is thrown.
#pragma once

#include <stdexcept>

namespace lodsmith {

class RepairError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

}  // namespace lodsmith
