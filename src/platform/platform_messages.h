// The messages of settings files and the machine; their texts are in ui/texts/platform_texts.cpp.
#pragma once

namespace lodsmith {

enum class PlatformMsg : int {
  First = 1700,
  CannotWriteFile,  // %1: the file (a settings file, a listing); %0: the reason, not shown
  End
};

}  // namespace lodsmith
