// How the generation refuses: the fault, wrapped in GenerationMsg::Aborted
// (the fault, then "action aborted").
#pragma once

#include <utility>

#include "core/message.h"
#include "generation/generation_messages.h"

namespace lodsmith {

[[noreturn]] inline void Refuse(const Message& fault) { throw Error(fault.WrappedIn(GenerationMsg::Aborted)); }

template <typename... Args>
[[noreturn]] void Refuse(GenerationMsg fault, Args&&... args) {
  Refuse(Message(fault, std::forward<Args>(args)...));
}

}  // namespace lodsmith
