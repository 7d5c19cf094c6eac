#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/window_platform.h"

using namespace lodsmith;

namespace {

// A window platform that records what the shared half asks of the window.
class RecordingWindow : public WindowPlatform {
public:
  std::vector<std::string> calls;

  MsgResult MessageBox(MsgKind, MsgButtons, const std::string&, const MsgIdentity&) override { return MsgResult::Ok; }
  void FocusControl(const std::string&) override {}
  void CloseWindow() override {}
  int ScreenWidth() override { return 0; }
  int ScreenHeight() override { return 0; }
  PrinterInfo DefaultPrinter(bool) override { return {}; }
  void PrintPages(const std::vector<PrintPage>&, bool, const std::string&) override {}
  void PrintPagesToPdf(const std::vector<PrintPage>&, bool, const std::string&) override {}

protected:
  std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save) override {
    calls.push_back(std::string(save ? "save " : "open ") + request.fileName);
    return request.fileName;
  }
  void ShowCursor(bool busy) override { calls.push_back(busy ? "hour-glass" : "arrow"); }
  void MirrorAndDispatch() override { calls.push_back("mirror"); }
};

}  // namespace

// A long action asks for a repaint far more often than one is worth: the
// first ask mirrors the window, most of the ones right after it do not.
TEST(WindowPlatform, RepaintsAtAPaceAndTracksTheCursor) {
  RecordingWindow w;
  EXPECT_FALSE(w.Busy());
  w.SetCursor(crHourGlass);
  EXPECT_TRUE(w.Busy());
  EXPECT_EQ(w.Cursor(), crHourGlass);
  for (int i = 0; i < 100; ++i) w.ProcessMessages();
  w.SetCursor(crDefault);
  EXPECT_FALSE(w.Busy());
  ASSERT_GE(w.calls.size(), 3u);
  EXPECT_EQ(w.calls.front(), "hour-glass");
  EXPECT_EQ(w.calls[1], "mirror");
  EXPECT_EQ(w.calls.back(), "arrow");
  const auto mirrors = std::count(w.calls.begin(), w.calls.end(), "mirror");
  EXPECT_LT(mirrors, 100);
}

TEST(WindowPlatform, BothFileDialogsGoThroughTheWindowsOne) {
  RecordingWindow w;
  FileDialogRequest request;
  request.fileName = "a.s";
  EXPECT_EQ(w.OpenDialog(request), "a.s");
  request.fileName = "b.s";
  EXPECT_EQ(w.SaveDialog(request), "b.s");
  EXPECT_EQ(w.calls, (std::vector<std::string>{"open a.s", "save b.s"}));
}
