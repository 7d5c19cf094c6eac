// The rules of LODs as the window, the batch program and the settings files
// keep them: how many there may be, a LOD's distance (the text of a whole
// number 1..2000), a LOD's detail (how much of each element's triangles it
// keeps) and the screen-error budget that judges simplified geometry.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/lod_distance.h"
#include "core/text.h"

namespace lodsmith {

inline constexpr int kMinLods = 1;
inline constexpr int kMaxLods = 99;

inline const char* const kDefaultDistance = "2000";

// True for the text of a whole number kMinDistance..kMaxDistance.
inline bool ValidDistance(const std::string& text) {
  auto v = ParseInt32(text);
  return v && DistanceInRange(*v);
}

// A stored distance that is no whole number 1..2000 (a hand-edited or broken
// settings file) is read as a missing one: the default.
inline std::string SaneDistance(const std::string& text) { return ValidDistance(text) ? text : kDefaultDistance; }

// ---- Detail ---------------------------------------------------------------------

// How much of its elements' triangles a LOD keeps: a share in per cent
// (100: the elements as they are), or `auto`: the fewest triangles whose
// error stays within the screen-error budget where the LOD is first seen.
struct LodDetail {
  enum class Kind : uint8_t { Percent, Auto };
  Kind kind = Kind::Percent;
  int32_t percent = 100;  // 1..100, Percent only

  bool Full() const { return kind == Kind::Percent && percent == 100; }
  bool IsAuto() const { return kind == Kind::Auto; }
  friend bool operator==(const LodDetail&, const LodDetail&) = default;
};

inline constexpr int32_t kMinDetailPercent = 1;
inline constexpr int32_t kMaxDetailPercent = 100;

// Reads a detail: "N%" or "N" for a whole number 1..100, or "auto" (any
// case). Nothing for any other text, the empty one included.
std::optional<LodDetail> ReadDetail(std::string_view text);
// The text a detail is shown and stored as: "50%", "100%", "auto".
std::string DetailText(const LodDetail& detail);

// ---- Screen error --------------------------------------------------------------

// The budget's default, in pixels of the screen the "as seen" preview
// shows (1920 x 1080, 55 degrees vertical field of view).
inline constexpr double kDefaultScreenError = 1.0;

// A budget is a positive finite number of pixels.
inline bool ValidScreenError(double pixels) { return std::isfinite(pixels) && pixels > 0; }

// The metres one pixel of that screen covers at `distance` metres.
double PixelSizeAt(double distance);

// The smallest whole distance in metres from which an error of `error`
// metres stays within `pixels`; 0 for no error. Not limited to the
// distance range.
int64_t DistanceForError(double error, double pixels);

}  // namespace lodsmith
