#include "core/message.h"

namespace lodsmith {

Error::Error(Message message) : message_(std::move(message)), what_(DescribeMessage(message_)) {}

std::string DescribeMessage(const Message& message) {
  std::string s;
  for (const Message* m = &message; m; m = m->inner.get()) {
    if (!s.empty()) s += " in ";
    s += "message " + std::to_string(m->id) + " (";
    for (std::size_t i = 0; i < m->args.size(); ++i) s += (i ? ", " : "") + m->args[i];
    s += ")";
  }
  return s;
}

}  // namespace lodsmith
