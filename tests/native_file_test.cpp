#include <gtest/gtest.h>

#include <cstdio>

#include "core/file_io.h"
#include "core/native_file.h"
#include "test_env.h"

using namespace lodsmith;
using namespace lodsmith::test;

TEST(NativeFile, Utf8PathsSurviveTheFilesystemPath) {
  const std::string name =
      "Stra\xC3\x9F"
      "enbahn \xE2\x82\xAC.s";
  EXPECT_EQ(Utf8Path(FsPath(name)), name);
  EXPECT_EQ(Utf8Path(FsPath("a/" + name).filename()), name);
}

TEST(NativeFile, WritesReadsAndRenamesAFileWithANonAsciiName) {
  TempDir dir;
  const std::string file = dir.File("Gel\xC3\xA4nde.s");
  std::FILE* f = OpenFile(file, "wb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::fwrite("abc", 1, 3, f), 3u);
  EXPECT_TRUE(SyncFile(f));
  EXPECT_EQ(std::fclose(f), 0);

  bool regular = false;
  unsigned long long size = 0;
  ASSERT_TRUE(FileStatus(file, regular, size));
  EXPECT_TRUE(regular);
  EXPECT_EQ(size, 3u);
  ASSERT_TRUE(FileStatus(dir.File(""), regular, size));
  EXPECT_FALSE(regular);
  EXPECT_FALSE(FileStatus(dir.File("missing"), regular, size));

  // The rename replaces a file already there.
  const std::string other = dir.File("\xC3\x84nderung.s");
  WriteFileAtomic(other, "old", "");
  ASSERT_EQ(RenameFile(file, other), 0);
  EXPECT_EQ(ReadFileBytes(other), "abc");
  EXPECT_FALSE(FileExists(file));

  EXPECT_EQ(RemoveFile(other), 0);
  EXPECT_FALSE(FileExists(other));
  EXPECT_NE(RemoveFile(other), 0);
}

TEST(NativeFile, ProcessIdIsPositive) { EXPECT_GT(CurrentProcessId(), 0); }
