#include "core/disk_wait.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <future>

#include "core/core_messages.h"
#include "core/file_io.h"
#include "core/file_system.h"
#include "core/message.h"
#include "faulty_file_system.h"
#include "test_env.h"

namespace lodsmith {
namespace {

using test::FaultyFileSystem;
using test::FileCall;
using test::TempDir;

struct CountingWaiter : DiskWaiter {
  int waiting = 0, resumed = 0;
  void Waiting() override { ++waiting; }
  void Resumed() override { ++resumed; }
};

// Sets a thread's waiter for the lifetime of the object.
struct WaiterScope {
  explicit WaiterScope(DiskWaiter* w) : before(SetDiskWaiter(w)) {}
  ~WaiterScope() { SetDiskWaiter(before); }
  DiskWaiter* before;
};

// While the only worker's thread waits for the disk, another thread gets
// its place; the waiting thread takes a place again before it goes on.
TEST(DiskWait, AThreadWaitingForTheDiskGivesItsPlaceToAnother) {
  ProcessorSlots slots(1);
  slots.Acquire();
  bool ranMeanwhile = false;
  {
    WaiterScope scope(&slots);
    DiskWait wait;
    auto other = std::async(std::launch::async, [&] {
      slots.Acquire();
      slots.Release();
    });
    ranMeanwhile = other.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    if (!ranMeanwhile) slots.Release();  // let it end: the test has failed already
  }
  EXPECT_TRUE(ranMeanwhile) << "no other thread got the place while the disk was awaited";
  // Back in its place: another thread has to wait for it.
  auto later = std::async(std::launch::async, [&] {
    slots.Acquire();
    slots.Release();
  });
  EXPECT_EQ(later.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  slots.Release();
  later.get();
}

// A save tells its flush to the thread's waiter exactly once, whether the
// flush succeeds or fails; a failed one is reported for the file and leaves
// the file and its backup as they were.
TEST(DiskWait, EverySaveTellsItsFlushOnceAndAFailedFlushIsReported) {
  for (const bool syncFails : {false, true}) {
    SCOPED_TRACE(syncFails ? "the flush fails" : "the flush succeeds");
    TempDir dir;
    const std::string target = dir.File("m.s"), bak = dir.File("m.BAK");
    test::WriteBytes(target, "current");
    test::WriteBytes(bak, "previous");
    FaultyFileSystem faulty;
    if (syncFails) faulty.faults.push_back({FileCall::Sync, dir.path() + "/", EIO});
    FileSystemOverride files(faulty);
    CountingWaiter waiter;
    WaiterScope scope(&waiter);
    bool failed = false;
    try {
      WriteFileAtomic(target, "new", bak);
    } catch (const Error& e) {
      failed = true;
      EXPECT_TRUE(e.Is(CoreMsg::CannotWrite));
      EXPECT_EQ(e.message().args.front(), target);
    }
    EXPECT_EQ(failed, syncFails);
    EXPECT_EQ(waiter.waiting, 1);
    EXPECT_EQ(waiter.resumed, 1);
    EXPECT_EQ(test::ReadBytes(target), syncFails ? "current" : "new");
    EXPECT_EQ(test::ReadBytes(bak), syncFails ? "previous" : "current");
  }
}

}  // namespace
}  // namespace lodsmith
