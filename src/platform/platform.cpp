#include "platform/platform.h"

namespace lodsmith {

const char* MsgKindName(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return "warning";
    case MsgKind::Information: return "information";
    case MsgKind::Confirmation: return "confirmation";
    case MsgKind::Error: return "error";
  }
  return "message";
}

}  // namespace lodsmith
