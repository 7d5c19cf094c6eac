// The detail rules (lod_rules.h) and the session's detail cells and budget.
#include <algorithm>
#include <cmath>

#include "core/grid_columns.h"
#include "session/lod_rules.h"
#include "session/session.h"
#include "session/session_messages.h"

namespace lodsmith {

namespace {

// tan(27.5 degrees), half the vertical field of view of the "as seen"
// screen, written out so that every build takes the same number.
constexpr double kHalfFieldTangent = 0.52056705055174628888;
constexpr double kScreenRows = 1080;

bool IsAuto(std::string_view text) {
  if (text.size() != 4) return false;
  const char* word = "auto";
  for (std::size_t i = 0; i < 4; ++i)
    if ((text[i] | 0x20) != word[i]) return false;
  return true;
}

constexpr int kDetailColumn = 1;
constexpr int kDetailLodColumn = 0;

}  // namespace

std::optional<LodDetail> ReadDetail(std::string_view text) {
  if (IsAuto(text)) return LodDetail{LodDetail::Kind::Auto, 0};
  if (!text.empty() && text.back() == '%') text.remove_suffix(1);
  // Only the plain digits of a number: no sign, blank or second "%".
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const auto n = ParseInt32(text);
  if (!n || *n < kMinDetailPercent || *n > kMaxDetailPercent) return std::nullopt;
  return LodDetail{LodDetail::Kind::Percent, *n};
}

std::string DetailText(const LodDetail& detail) {
  return detail.IsAuto() ? "auto" : std::to_string(detail.percent) + "%";
}

double PixelSizeAt(double distance) { return distance * 2 * kHalfFieldTangent / kScreenRows; }

int64_t DistanceForError(double error, double pixels) {
  if (!(error > 0)) return 0;
  const double metres = error / (pixels * PixelSizeAt(1));
  if (!std::isfinite(metres) || metres > 1e15) return INT64_MAX;
  // An error of exactly n pixels' width gives n metres, not n + 1 for the
  // last bit of the quotient.
  return static_cast<int64_t>(std::ceil(metres * (1 - 1e-12)));
}

// ---- The session's cells ----------------------------------------------------------

LodDetail Session::Detail(int lod) const {
  if (lod < 1 || lod > lodCount) return {};
  const auto d = ReadDetail(Details.Cell(kDetailColumn, lod));
  // LOD 1 is seen from 0 m, where `auto` would allow nothing at all.
  if (!d || (lod == 1 && d->IsAuto())) return {};
  return *d;
}

bool Session::AnyLodSimplified() const {
  for (int k = 1; k <= lodCount; ++k)
    if (!Detail(k).Full()) return true;
  return false;
}

void Session::SetDetail(int lod, const std::string& text) {
  const auto d = text.empty() ? std::optional<LodDetail>(LodDetail{}) : ReadDetail(text);
  const bool autoFirst = d && lod == 1 && d->IsAuto();
  Details.SetCell(kDetailColumn, lod, d && !autoFirst ? DetailText(*d) : DetailText(LodDetail{}));
  if (autoFirst) throw Error(SessionMsg::DetailAutoFirstLod);
  if (!d) throw Error(SessionMsg::DetailRefused, lod, text);
}

void Session::SetScreenError(double pixels) {
  if (!ValidScreenError(pixels)) throw Error(SessionMsg::ScreenErrorRefused, FormatGeneral(pixels, '.'));
  screenError = pixels;
}

void Session::SetScreenError(const std::string& text, char separator) {
  std::optional<long double> v = ParseFloat(text, separator);
  if (!v && separator != '.') v = ParseFloat(text, '.');
  if (!v) throw Error(SessionMsg::ScreenErrorRefused, text);
  SetScreenError(static_cast<double>(*v));
}

double Session::LargestDistanceBefore(int lod, int& without) const {
  double seen = 0;
  without = 0;
  for (int k = 1; k < lod; ++k) {
    const auto d = ParseInt32(Distance(k));
    if (!d || !DistanceInRange(*d)) {
      without = k;
      return 0;
    }
    seen = std::max(seen, static_cast<double>(*d));
  }
  return seen;
}

double Session::FirstSeenDistance(int lod) const {
  int without = 0;
  const double seen = LargestDistanceBefore(lod, without);
  if (without) throw Error(SessionMsg::DetailNeedsDistance, lod, without);
  return seen;
}

// The detail rows follow the LOD count; a new LOD starts at 100 %.
void Session::ResizeDetails(int lods) {
  Details.SetRowCount(lods + 1);
  for (int k = 1; k <= lods; ++k) {
    Details.SetCell(kDetailLodColumn, k, std::to_string(k));
    if (Details.Cell(kDetailColumn, k).empty()) Details.SetCell(kDetailColumn, k, DetailText(LodDetail{}));
  }
}

}  // namespace lodsmith
