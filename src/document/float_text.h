// Floats of binary blocks as text.
#pragma once

namespace lodsmith {

// Room a formatted float needs; the longest is "-1.17549435e-038".
constexpr int kFloatTextMax = 32;

// Writes v as the simulator's utility writes it and returns the count of
// characters written (no terminating zero):
// - finite values as printf's "%g" (six significant digits, trailing zeros
//   dropped) but with an exponent of at least three digits ("1e-005");
// - -0 as "0";
// - NaN of either sign as "1.#QNAN", infinities as "1.#INF" and "-1.#INF".
int FormatUtilityFloat(float v, char* out);

// The same spelling with the fewest significant digits (6 to 9) that read
// back as the same float; -0 keeps its sign ("-0").
int FormatLosslessFloat(float v, char* out);

}  // namespace lodsmith
