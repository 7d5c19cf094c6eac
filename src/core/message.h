// Faults and notices travel through the program as a number and their
// arguments, not as text: the window model turns a Message into the user's
// language in one place (ui/texts/messages.h). Each layer numbers its own messages
// in an enum of its own header (core/core_messages.h,
// document/document_messages.h, ...), in a range of its own.
//
// A message may wrap another one (an analysis fault inside "Line n: ..."):
// its text shows the inner message where its template says %0.
#pragma once

#include <concepts>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace lodsmith {

// A layer's message enum.
template <typename T>
concept MessageId = std::is_enum_v<T>;

struct Message {
  int id = 0;
  std::vector<std::string> args;         // %1, %2, ... of the template
  std::shared_ptr<const Message> inner;  // %0; null when nothing is wrapped

  Message() = default;
  template <MessageId Id, typename... Args>
  explicit Message(Id messageId, Args&&... a) : id(static_cast<int>(messageId)) {
    args.reserve(sizeof...(a));
    (args.push_back(ToArg(std::forward<Args>(a))), ...);
  }

  // This message with `outer` around it: outer's %0 is this message.
  template <MessageId Id, typename... Args>
  Message WrappedIn(Id outer, Args&&... a) const {
    Message m(outer, std::forward<Args>(a)...);
    m.inner = std::make_shared<const Message>(*this);
    return m;
  }

  bool empty() const { return id == 0; }
  // True when this message or one it wraps has the id.
  template <MessageId Id>
  bool Is(Id messageId) const {
    for (const Message* m = this; m; m = m->inner.get())
      if (m->id == static_cast<int>(messageId)) return true;
    return false;
  }

  static std::string ToArg(std::string s) { return s; }
  static std::string ToArg(std::string_view s) { return std::string(s); }
  static std::string ToArg(const char* s) { return s; }
  static std::string ToArg(char c) { return std::string(1, c); }
  template <std::integral N>
  static std::string ToArg(N n) {
    return std::to_string(n);
  }
};

// The one exception of the program: a Message. what() names the number and
// the arguments for logs and tests, never the user's text.
class Error : public std::exception {
public:
  explicit Error(Message message);
  template <MessageId Id, typename... Args>
  explicit Error(Id id, Args&&... args) : Error(Message(id, std::forward<Args>(args)...)) {}

  const Message& message() const { return message_; }
  int id() const { return message_.id; }
  template <MessageId Id>
  bool Is(Id id) const {
    return message_.Is(id);
  }
  // The same fault wrapped in an outer message.
  template <MessageId Id, typename... Args>
  Error WrappedIn(Id outer, Args&&... args) const {
    return Error(message_.WrappedIn(outer, std::forward<Args>(args)...));
  }

  const char* what() const noexcept override { return what_.c_str(); }

private:
  Message message_;
  std::string what_;
};

// "message 1203 (a, b) in message 1100 ()": for logs and test failures.
std::string DescribeMessage(const Message& message);

}  // namespace lodsmith
