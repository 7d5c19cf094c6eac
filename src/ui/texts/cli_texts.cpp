// Built-in texts of the cli layer's messages.
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr MessageText kTexts[] = {
    {0, "", ""},
};
}  // namespace

std::span<const MessageText> CliTexts() { return kTexts; }

}  // namespace lodsmith
