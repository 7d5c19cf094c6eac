// The simplifier's queue of moves: at most one per point, the cheapest on
// top, changed in place (a four-way heap with each point's place in it).
#pragma once

#include <cstdint>
#include <vector>

namespace lodsmith::simplify {

struct Move {
  double cost = 0;     // the error it makes, as measured or estimated
  double quadric = 0;  // the quadric error of the move
  int32_t seam = 0;    // 0: no seam at `from`; 1: along the seam; 2: across it
  int32_t from = -1, to = -1;
};

// Cheaper first; where the costs are the same, less quadric error, then no
// seam crossed, then by index.
inline bool Before(const Move& a, const Move& b) {
  if (a.cost != b.cost) return a.cost < b.cost;
  if (a.quadric != b.quadric) return a.quadric < b.quadric;
  if (a.seam != b.seam) return a.seam < b.seam;
  if (a.from != b.from) return a.from < b.from;
  return a.to < b.to;
}

class MoveQueue {
public:
  MoveQueue() = default;
  explicit MoveQueue(int32_t points) { Reset(points); }
  MoveQueue(const MoveQueue&) = delete;  // heap_ points into storage_
  MoveQueue& operator=(const MoveQueue&) = delete;

  // Empties the queue for `points` points, in the memory it has.
  void Reset(int32_t points) {
    move_.assign(static_cast<size_t>(points), Move{});
    place_.assign(static_cast<size_t>(points), -1);
    storage_.resize(static_cast<size_t>(points) + kLine / sizeof(Slot));
    // The four children of a slot share one cache line: slot 1 starts a line.
    const auto address = reinterpret_cast<uintptr_t>(storage_.data() + 1);
    heap_ = storage_.data() + (kLine - address % kLine) % kLine / sizeof(Slot);
    size_ = 0;
  }

  bool Empty() const { return size_ == 0; }
  const Move& Top() const { return move_[static_cast<size_t>(heap_[0].point)]; }
  bool Has(int32_t p) const { return place_[static_cast<size_t>(p)] >= 0; }
  // Point p's move as last set (also after it was taken out).
  const Move& Of(int32_t p) const { return move_[static_cast<size_t>(p)]; }

  // Queues `m` as the move of m.from, in place of the one it had.
  void Set(const Move& m) {
    const auto p = static_cast<size_t>(m.from);
    move_[p] = m;
    if (place_[p] < 0) {
      place_[p] = size_;
      heap_[size_++] = {m.cost, m.from};
    }
    heap_[place_[p]].cost = m.cost;
    Down(Up(place_[p]));
  }

  // Whether `m`, as the move of the point on top, would keep it there.
  bool StaysOnTop(const Move& m) const {
    for (int32_t c = 1; c <= kArity && c < size_; ++c) {
      const Slot& other = heap_[c];
      if (other.cost < m.cost || (other.cost == m.cost && Before(move_[static_cast<size_t>(other.point)], m)))
        return false;
    }
    return true;
  }

  // Takes point p's move out, if it has one.
  void Remove(int32_t p) {
    const int32_t at = place_[static_cast<size_t>(p)];
    if (at < 0) return;
    place_[static_cast<size_t>(p)] = -1;
    const Slot last = heap_[--size_];
    if (last.point == p) return;
    Put(at, last);
    Down(Up(at));
  }

private:
  static constexpr int32_t kArity = 4;    // children per node: a shallower heap
  static constexpr uintptr_t kLine = 64;  // bytes in a cache line

  // The cost beside the point keeps most comparisons in the heap.
  struct Slot {
    double cost;
    int32_t point;
  };
  static_assert(sizeof(Slot) == 16 && kLine % sizeof(Slot) == 0);
  bool Less(int32_t i, int32_t j) const {
    const Slot& a = heap_[i];
    const Slot& b = heap_[j];
    if (a.cost != b.cost) return a.cost < b.cost;
    return Before(move_[static_cast<size_t>(a.point)], move_[static_cast<size_t>(b.point)]);
  }
  void Put(int32_t at, Slot slot) {
    heap_[at] = slot;
    place_[static_cast<size_t>(slot.point)] = at;
  }
  void Swap(int32_t i, int32_t j) {
    const Slot a = heap_[i], b = heap_[j];
    Put(i, b);
    Put(j, a);
  }
  int32_t Up(int32_t at) {
    while (at > 0 && Less(at, (at - 1) / kArity)) {
      Swap(at, (at - 1) / kArity);
      at = (at - 1) / kArity;
    }
    return at;
  }
  void Down(int32_t at) {
    for (;;) {
      int32_t least = at;
      for (int32_t c = kArity * at + 1; c <= kArity * at + kArity && c < size_; ++c)
        if (Less(c, least)) least = c;
      if (least == at) return;
      Swap(at, least);
      at = least;
    }
  }

  std::vector<Move> move_;      // per point
  std::vector<int32_t> place_;  // per point: its place in heap_, -1 when none
  std::vector<Slot> storage_;   // the heap's slots, and room to place them on cache lines
  Slot* heap_ = nullptr;        // the heap: slot 0 on top, the children of i at 4 i + 1 .. 4 i + 4
  int32_t size_ = 0;
};

}  // namespace lodsmith::simplify
