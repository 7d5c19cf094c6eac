// Waiting for the disk, told to whoever runs the thread. A save flushes its
// file to the disk before the file takes the place of the previous one; that
// wait keeps the thread but not the processor. A pool that runs work on
// several threads gives the processor to another thread meanwhile
// (ProcessorSlots), so that the next piece of work goes on while a file is
// flushed; the thread that waited goes on with its own work afterwards, so
// that everything after the flush (the rename, the report of the file)
// happens in its place and order as before.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace lodsmith {

// Told when the thread it is set for starts and stops waiting for the disk.
class DiskWaiter {
public:
  virtual ~DiskWaiter() = default;
  virtual void Waiting() = 0;
  virtual void Resumed() = 0;
};

// Sets the waiter of the calling thread (nullptr: none, the default);
// returns the one it had.
DiskWaiter* SetDiskWaiter(DiskWaiter* waiter);

// The calling thread waits for the disk for the lifetime of the object: its
// waiter hears Waiting() now and Resumed() at the end, however it ends.
class DiskWait {
public:
  DiskWait();
  ~DiskWait();
  DiskWait(const DiskWait&) = delete;
  DiskWait& operator=(const DiskWait&) = delete;

private:
  DiskWaiter* waiter_;
};

// Room for `count` threads to use the processor at once. A thread takes a
// slot before its work and gives it back after; set as a thread's waiter, it
// gives the slot back while the thread waits for the disk and takes one
// again (waiting for it) before the thread goes on.
class ProcessorSlots : public DiskWaiter {
public:
  explicit ProcessorSlots(std::size_t count) : free_(count) {}

  void Acquire();
  void Release();
  void Waiting() override { Release(); }
  void Resumed() override { Acquire(); }

private:
  std::mutex mutex_;
  std::condition_variable freed_;
  std::size_t free_;
};

}  // namespace lodsmith
