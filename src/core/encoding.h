// Conversions between the program's UTF-8 text and the 8-bit encodings of
// files written for Windows programs.
#pragma once

#include <string>

namespace lodsmith {

// Windows-1252 <-> UTF-8.
std::string Cp1252ToUtf8(const std::string& s);
std::string Utf8ToCp1252(const std::string& s);

}  // namespace lodsmith
