#include "document/float_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace lodsmith {

namespace {

int Copy(char* out, const char* text) {
  const int n = static_cast<int>(std::strlen(text));
  std::memcpy(out, text, n);
  return n;
}

// The general form through the standard library, which rounds the exact
// binary value as printf does; a two-digit exponent gets its leading zero.
int General(double d, int precision, char* out) {
  auto r = std::to_chars(out, out + kFloatTextMax, d, std::chars_format::general, precision);
  int n = static_cast<int>(r.ptr - out);
  for (int i = 0; i < n; ++i) {
    if (out[i] != 'e') continue;
    if (n - (i + 2) == 2) {
      std::memmove(out + i + 3, out + i + 2, 2);
      out[i + 2] = '0';
      ++n;
    }
    break;
  }
  return n;
}

// Powers of ten, exact in a double up to 1e22.
constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
// 10^(i-4): the bound above each decimal exponent from -5 up to 5.
constexpr double kBounds[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

// Six significant digits of a value from 1e-4 up to 1e6 without the
// library's general rounding machinery, which dominates reading large
// shapes. A float widens to a double exactly and the product with an exact
// power of ten is off by at most 1e-10, so rounding to an integer goes the
// same way as rounding the exact value whenever the fraction is not within
// a hair of one half. Returns 0 when the value is outside the range or that
// close to a tie (ties go to even in printf, decided on the exact value),
// and when the rounding carries into a seventh digit; the caller then takes
// the general route.
// The eight bytes of w at p, lowest first (one store where that is the
// machine's order).
inline void Store8(char* p, std::uint64_t w) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &w, 8);
  } else {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<char>(w >> (8 * i));
  }
}

int FastSixDigits(double magnitude, bool negative, char* out) {
  if (!(magnitude >= 1e-4 && magnitude < 1e6)) return 0;
  // e: the decimal exponent, 10^e <= magnitude < 10^(e+1), estimated from
  // the binary exponent (log10(2) ~ 1233/4096) and corrected by one
  // comparison. The negative powers in the table are not exact, but no
  // float comes near enough to a power of ten for that to matter.
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, 8);
  const int binary = static_cast<int>((bits >> 52) & 0x7FF) - 1023;
  int e = (binary * 1233) >> 12;
  if (e < -4) e = -4;
  if (magnitude >= kBounds[e + 5]) ++e;
  const double scaled = magnitude * kPow10[5 - e];
  auto digits = static_cast<std::uint32_t>(scaled);
  const double fraction = scaled - digits;
  if (fraction > 0.499999 && fraction < 0.500001) return 0;
  if (fraction > 0.5) ++digits;
  if (digits >= 1000000 || digits < 100000) return 0;

  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  // The six digits and two '0's as the bytes of one word, first digit
  // lowest, kept in a register: built in memory and read back as a word,
  // the store-to-load stall was a quarter of this function's time.
  auto pair = [](std::uint32_t two) {
    const char* c = kPairs + 2 * two;
    return static_cast<std::uint64_t>(static_cast<unsigned char>(c[0])) |
           static_cast<std::uint64_t>(static_cast<unsigned char>(c[1])) << 8;
  };
  const std::uint64_t word =
      pair(digits / 10000) | pair(digits / 100 % 100) << 16 | pair(digits % 100) << 32 | 0x3030ull << 48;
  // The significant digits end at the last that is not '0': the highest
  // byte that differs from '0' (the first digit never is '0').
  const int significant = (63 - std::countl_zero(word ^ 0x3030303030303030ull)) / 8 + 1;

  // Every store below is of a fixed eight bytes (the caller's buffer has
  // kFloatTextMax of room); what lies past the text's end is left over.
  char* p = out;
  *p = '-';
  p += negative;
  if (e >= 0) {
    // d[0..whole) '.' d[whole..significant); the point is dropped when no
    // digit follows it.
    const int whole = e + 1;
    Store8(p, word);
    p[whole] = '.';
    Store8(p + whole + 1, word >> (8 * whole));
    p += significant > whole ? significant + 1 : whole;
  } else {
    // "0." and -e-1 zeros before the digits.
    Store8(p, 0x3030303030302E30ull);
    Store8(p + 1 - e, word);
    p += 1 - e + significant;
  }
  return static_cast<int>(p - out);
}

// Non-finite values and zero in the utility's spelling; 0 when v is none.
int Special(float v, bool keepNegativeZero, char* out) {
  if (std::isnan(v)) return Copy(out, "1.#QNAN");
  if (std::isinf(v)) return Copy(out, v < 0 ? "-1.#INF" : "1.#INF");
  if (v == 0) return Copy(out, keepNegativeZero && std::signbit(v) ? "-0" : "0");
  return 0;
}

int SixDigits(float v, char* out) {
  const double d = v;
  if (int n = FastSixDigits(std::fabs(d), d < 0, out)) return n;
  return General(d, 6, out);
}

}  // namespace

int FormatUtilityFloat(float v, char* out) {
  if (int n = Special(v, false, out)) return n;
  return SixDigits(v, out);
}

int FormatLosslessFloat(float v, char* out) {
  if (int n = Special(v, true, out)) return n;
  int n = SixDigits(v, out);
  for (int precision = 7; precision <= 9; ++precision) {
    float back = 0;
    std::from_chars(out, out + n, back);
    if (back == v) break;
    n = General(v, precision, out);
  }
  return n;
}

}  // namespace lodsmith
