#include "tools/refusal.h"

namespace lodsmith {

Message AtLine(int lineIndex, const Message& fault) { return fault.WrappedIn(ToolsMsg::AtLine, lineIndex + 1); }

Error Refusal(const Message& fault) { return Error(fault.WrappedIn(ToolsMsg::NothingChanged)); }

Error RefusalAtLine(int lineIndex, const Message& fault) { return Refusal(AtLine(lineIndex, fault)); }

}  // namespace lodsmith
