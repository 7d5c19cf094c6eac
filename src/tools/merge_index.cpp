#include "tools/merge_index.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace lodsmith {

int SignClass(long double value) {
  const double d = static_cast<double>(value);
  if (d == 0) return 0;
  return std::signbit(d) ? -1 : 1;
}

namespace {

using Entries = std::vector<TMergeEntry>;

// The merge test exactly as the rule states it: a NaN difference compares
// false and so never counts as within tolerance.
inline bool Within(long double a, long double b, long double tolerance) { return std::fabs(a - b) <= tolerance; }

inline bool Matches(const TMergeEntry& k, const TMergeEntry& s, long double tolerance) {
  return Within(k.X, s.X, tolerance) && Within(k.Y, s.Y, tolerance) && Within(k.Z, s.Z, tolerance);
}

// The three sign classes packed into one small number (0..26), so that
// normals of different directions never share a hash key.
uint8_t SignKey(const TMergeEntry& e, MergeKind kind) {
  if (kind == MergeKind::Points) return 0;
  return static_cast<uint8_t>((SignClass(e.X) + 1) * 9 + (SignClass(e.Y) + 1) * 3 + (SignClass(e.Z) + 1));
}

inline uint64_t Mix(uint64_t h) {
  h ^= h >> 30;
  h *= 0xbf58476d1ce4e5b9ULL;
  h ^= h >> 27;
  h *= 0x94d049bb133111ebULL;
  h ^= h >> 31;
  return h;
}

// Hash of the exact value; -0 and +0 hash alike because they compare equal.
uint64_t HashValue(long double v) {
  if (v == 0) v = 0;
  uint64_t parts[2] = {0, 0};
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    // x87 extended: 8 bytes of mantissa and 2 of sign and exponent; the rest
    // of the object is padding with undefined contents.
    std::memcpy(&parts[0], &v, 8);
    uint16_t se = 0;
    std::memcpy(&se, reinterpret_cast<const unsigned char*>(&v) + 8, 2);
    parts[1] = se;
  } else {
    static_assert(sizeof(long double) <= sizeof parts);
    std::memcpy(parts, &v, sizeof(long double));
  }
  return Mix(parts[0] ^ Mix(parts[1] + 0x9e3779b97f4a7c15ULL));
}

// Open-addressing table from a key to the latest entry index that carries
// it. The key itself is not stored: a slot is compared through the entry it
// points to, with the caller's equality.
class HeadTable {
public:
  explicit HeadTable(std::size_t expected) {
    std::size_t cap = 16;
    while (cap < expected * 2) cap <<= 1;
    slots_.assign(cap, Slot{});
    mask_ = cap - 1;
  }

  // The slot's head for the key, or nullptr when the key is absent.
  template <class Eq>
  int32_t* Find(uint64_t hash, Eq&& equalsEntry) {
    const uint32_t tag = static_cast<uint32_t>(hash >> 32);
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (slot.head < 0) return nullptr;
      if (slot.tag == tag && equalsEntry(slot.head)) return &slot.head;
    }
  }

  // The slot's head for the key, creating an empty one (head -1).
  template <class Eq>
  int32_t* FindOrAdd(uint64_t hash, Eq&& equalsEntry) {
    const uint32_t tag = static_cast<uint32_t>(hash >> 32);
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (slot.head < 0) {
        slot.tag = tag;
        return &slot.head;
      }
      if (slot.tag == tag && equalsEntry(slot.head)) return &slot.head;
    }
  }

private:
  struct Slot {
    int32_t head = -1;
    uint32_t tag = 0;
  };
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
};

// Tolerance 0: a match needs X[k] - X[s] == 0 and so on, i.e. equal finite
// values (an infinity minus itself is NaN). Equality is transitive, so the
// latest entry with the same exact coordinates is the answer.
void MatchExact(const Entries& e, MergeKind kind, std::vector<int32_t>& match) {
  HeadTable table(e.size());
  for (std::size_t s = 0; s < e.size(); ++s) {
    const TMergeEntry& p = e[s];
    if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z)) continue;
    const uint64_t h = Mix(HashValue(p.X) ^ Mix(HashValue(p.Y) ^ Mix(HashValue(p.Z) + SignKey(p, kind))));
    int32_t* head = table.FindOrAdd(h, [&](int32_t k) { return e[k].X == p.X && e[k].Y == p.Y && e[k].Z == p.Z; });
    match[s] = *head;  // -1 when the key is new
    *head = static_cast<int32_t>(s);
  }
}

// An infinite tolerance: everything matches except a NaN difference (an
// infinity against the same infinity). The values cannot come from a shape's
// text; a backward walk over the entries of the same sign classes suffices.
void MatchInfinite(const Entries& e, long double tolerance, MergeKind kind, std::vector<int32_t>& match) {
  std::vector<int32_t> next(e.size(), -1);
  int32_t heads[27];
  std::fill(std::begin(heads), std::end(heads), -1);
  for (std::size_t s = 0; s < e.size(); ++s) {
    const TMergeEntry& p = e[s];
    if (std::isnan(p.X) || std::isnan(p.Y) || std::isnan(p.Z)) continue;
    const uint8_t key = SignKey(p, kind);
    for (int32_t k = heads[key]; k >= 0; k = next[k]) {
      if (Matches(e[k], p, tolerance)) {
        match[s] = k;
        break;
      }
    }
    next[s] = heads[key];
    heads[key] = static_cast<int32_t>(s);
  }
}

struct CellKey {
  int64_t x = 0, y = 0, z = 0;
  uint8_t signs = 0;
  bool operator==(const CellKey&) const = default;
};

// A finite positive tolerance: a grid of cubic cells, each keeping a chain of
// its entries from the latest down.
//
// Cell of a value: floor(v * (1 / w)), clamped; a monotone function of v,
// because a correctly rounded multiplication is. A candidate a that passes the test for a
// query b lies (as a true number) within b - t - m/2 .. b + t + m/2, where m
// covers the rounding of the difference. The query's bounds are computed
// with the margin m, so their cells, by monotony, enclose the cell of every
// candidate. With w >= 2t, the bounds span at most three cells per axis.
class GridMatcher {
public:
  GridMatcher(const Entries& e, long double tolerance, MergeKind kind)
      : e_(e), t_(tolerance), kind_(kind), table_(e.size()), next_(e.size(), -1), keys_(e.size()) {
    long double maxAbs = 0;
    for (const auto& p : e)
      if (Usable(p)) maxAbs = std::max({maxAbs, std::fabs(p.X), std::fabs(p.Y), std::fabs(p.Z)});
    long double w = 2 * t_;
    if (!std::isfinite(w)) w = LDBL_MAX;
    // Cells no finer than 2^-52 of the largest coordinate keep every cell
    // number far inside 64 bits, however tiny the tolerance.
    w = std::max(w, std::ldexp(maxAbs, -52));
    // Multiplying by the reciprocal is as monotone as dividing, and cheaper;
    // the cells are then only about w wide, which the bounds do not need.
    inverse_ = 1 / w;
    if (!std::isfinite(inverse_)) inverse_ = LDBL_MAX;  // w subnormal
    std::size_t bits = 1024;
    while (bits < e.size() * 16) bits <<= 1;
    occupied_.assign(bits / 64, 0);
    bitMask_ = bits - 1;
  }

  static bool Usable(const TMergeEntry& p) { return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z); }

  void Run(std::vector<int32_t>& match) {
    for (std::size_t s = 0; s < e_.size(); ++s) {
      const TMergeEntry& p = e_[s];
      // An infinite or NaN coordinate never passes a finite tolerance.
      if (!Usable(p)) continue;
      CellKey key{Cell(p.X), Cell(p.Y), Cell(p.Z), SignKey(p, kind_)};
      match[s] = Query(p, key);
      keys_[s] = key;
      const uint64_t hash = Hash(key);
      MarkOccupied(hash);
      int32_t* head = table_.FindOrAdd(hash, [&](int32_t k) { return keys_[k] == key; });
      next_[s] = *head;
      *head = static_cast<int32_t>(s);
      if (!any_) {
        lo_ = hi_ = key;
        any_ = true;
      } else {
        lo_.x = std::min(lo_.x, key.x), hi_.x = std::max(hi_.x, key.x);
        lo_.y = std::min(lo_.y, key.y), hi_.y = std::max(hi_.y, key.y);
        lo_.z = std::min(lo_.z, key.z), hi_.z = std::max(hi_.z, key.z);
      }
    }
  }

private:
  static constexpr long double kClamp = 9007199254740992.0L;  // 2^53

  int64_t Cell(long double v) const {
    long double q = v * inverse_;
    q = std::clamp(q, -kClamp, kClamp);  // also takes the infinities of far bounds
    const int64_t i = static_cast<int64_t>(q);
    return q < static_cast<long double>(i) ? i - 1 : i;  // floor
  }

  static uint64_t Hash(const CellKey& k) {
    return Mix(static_cast<uint64_t>(k.x) * 0x9e3779b97f4a7c15ULL ^ static_cast<uint64_t>(k.y) * 0xc2b2ae3d27d4eb4fULL ^
               static_cast<uint64_t>(k.z) * 0x165667b19e3779f9ULL ^ k.signs);
  }

  // A bit per hash value tells, without touching the table, that most of
  // the neighbouring cells of a sparse block are empty.
  bool MaybeOccupied(uint64_t hash) const {
    const std::size_t bit = (hash >> 7) & bitMask_;
    return (occupied_[bit >> 6] >> (bit & 63)) & 1;
  }
  void MarkOccupied(uint64_t hash) {
    const std::size_t bit = (hash >> 7) & bitMask_;
    occupied_[bit >> 6] |= uint64_t{1} << (bit & 63);
  }

  // The cell range of one axis for the query value v, within the occupied
  // cells.
  bool Range(long double v, int64_t occupiedLo, int64_t occupiedHi, int64_t& from, int64_t& to) const {
    long double m = (std::fabs(v) + t_) * 0x1p-58L;
    // Subnormal operands are slow on x87; only tiny margins meet one here.
    if (m < LDBL_MIN) m = std::max(m, 4 * std::numeric_limits<long double>::denorm_min());
    from = std::max(Cell(v - t_ - m), occupiedLo);
    to = std::min(Cell(v + t_ + m), occupiedHi);
    return from <= to;
  }

  int32_t Query(const TMergeEntry& p, const CellKey& own) {
    if (!any_) return -1;
    int64_t x0, x1, y0, y1, z0, z1;
    if (!Range(p.X, lo_.x, hi_.x, x0, x1) || !Range(p.Y, lo_.y, hi_.y, y0, y1) || !Range(p.Z, lo_.z, hi_.z, z0, z1))
      return -1;
    int32_t best = -1;
    // The entry's own cell first: it usually holds the answer, and a good
    // answer early cuts the walks through the other cells short.
    WalkCell(own, p, best);
    for (int64_t x = x0; x <= x1; ++x)
      for (int64_t y = y0; y <= y1; ++y)
        for (int64_t z = z0; z <= z1; ++z) {
          CellKey key{x, y, z, own.signs};
          if (key == own) continue;
          WalkCell(key, p, best);
        }
    return best;
  }

  void WalkCell(const CellKey& key, const TMergeEntry& p, int32_t& best) {
    const uint64_t hash = Hash(key);
    if (!MaybeOccupied(hash)) return;
    int32_t* head = table_.Find(hash, [&](int32_t k) { return keys_[k] == key; });
    if (!head) return;
    for (int32_t k = *head; k > best; k = next_[k]) {
      if (Matches(e_[k], p, t_)) {
        best = k;
        return;
      }
    }
  }

  const Entries& e_;
  long double t_;
  MergeKind kind_;
  long double inverse_ = 1;
  std::vector<uint64_t> occupied_;
  std::size_t bitMask_ = 0;
  HeadTable table_;
  std::vector<int32_t> next_;
  std::vector<CellKey> keys_;
  bool any_ = false;
  CellKey lo_, hi_;
};

}  // namespace

std::vector<int32_t> FindEarlierMatches(const Entries& entries, long double tolerance, MergeKind kind) {
  std::vector<int32_t> match(entries.size(), -1);
  // |a - b| is never below 0, so a negative (or NaN) tolerance merges nothing.
  if (std::isnan(tolerance) || tolerance < 0 || entries.empty()) return match;
  if (tolerance == 0) {
    MatchExact(entries, kind, match);
  } else if (std::isinf(tolerance)) {
    MatchInfinite(entries, tolerance, kind, match);
  } else {
    GridMatcher(entries, tolerance, kind).Run(match);
  }
  return match;
}

int32_t NumberMergeEntries(Entries& entries, long double tolerance, MergeKind kind) {
  const std::vector<int32_t> match = FindEarlierMatches(entries, tolerance, kind);
  int32_t kept = 0;
  for (std::size_t s = 0; s < entries.size(); ++s) {
    TMergeEntry& p = entries[s];
    if (match[s] >= 0) {
      p.Kept = 0;
      p.NewIndex = entries[match[s]].NewIndex;
    } else {
      p.Kept = 1;
      p.NewIndex = kept++;
    }
  }
  return kept;
}

}  // namespace lodsmith
