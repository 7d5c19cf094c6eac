// How the repair tools refuse a document they cannot rewrite: an Error whose
// message is the fault, prefixed with its line where it has one, followed by
// the note that nothing was changed. The document passed to the tool is
// never changed when one is thrown.
#pragma once

#include "core/message.h"
#include "tools/tools_messages.h"

namespace lodsmith {

// `fault` shown as found in the line with the 0-based index `lineIndex`
// (the user reads the 1-based number).
Message AtLine(int lineIndex, const Message& fault);

// The Error for `fault`, followed by "nothing was changed".
Error Refusal(const Message& fault);

// Refusal(AtLine(lineIndex, fault)).
Error RefusalAtLine(int lineIndex, const Message& fault);

}  // namespace lodsmith
