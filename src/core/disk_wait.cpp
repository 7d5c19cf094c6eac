#include "core/disk_wait.h"

namespace lodsmith {

namespace {

thread_local DiskWaiter* tWaiter = nullptr;

}  // namespace

DiskWaiter* SetDiskWaiter(DiskWaiter* waiter) {
  DiskWaiter* before = tWaiter;
  tWaiter = waiter;
  return before;
}

DiskWait::DiskWait() : waiter_(tWaiter) {
  if (waiter_) waiter_->Waiting();
}

DiskWait::~DiskWait() {
  if (waiter_) waiter_->Resumed();
}

void ProcessorSlots::Acquire() {
  std::unique_lock<std::mutex> lock(mutex_);
  freed_.wait(lock, [this] { return free_ > 0; });
  --free_;
}

void ProcessorSlots::Release() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++free_;
  }
  freed_.notify_one();
}

}  // namespace lodsmith
