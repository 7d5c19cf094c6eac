// What only the Windows build does itself: the layout scaled by the DPI, the
// registry and locale readers (against Wine's registry, which
// tests/win32/registry_locale.sh fills with `wine reg add`), the atomic
// replace with MoveFileExW and the .BAK in folders named with non-ASCII
// letters, temp.bat run by the command interpreter, and the GDI page
// mapping of the print-out.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/file_io.h"
#include "core/native_file.h"
#include "mesh_shape.h"
#include "platform/console_launcher.h"
#include "platform/system_info.h"
#include "print/print_layout.h"
#include "test_env.h"
#include "tools/compress.h"
#include "ui/tlsform.h"
#include "win32/main_window.h"
#include "win32/win32_platform.h"
#include "win32/win32_print.h"

namespace lodsmith {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// "Modelle Ü" and "Weichen ł" in UTF-8: a Latin-1 letter and one outside
// every ANSI code page of western Windows.
const char* const kUmlautFolder = "Modelle \xC3\x9C";
const char* const kPolishFolder = "Weichen \xC5\x82";

// The test folder's paths with the separator Windows writes (the batch
// file's "cd" is run by cmd).
std::string Win(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ClientSize(HWND hwnd) {
  RECT r;
  ::GetClientRect(hwnd, &r);
  return std::to_string(r.right) + "x" + std::to_string(r.bottom);
}

RECT PlaceIn(HWND control) {
  RECT r;
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(WindowLayout, ClientAreaAndControlsScaleWithTheDpi) {
  Win32Platform platform;
  TLSForm form(platform);
  platform.FollowLanguage(&form.LanguageName);
  MainWindow window(form, platform);
  platform.SetWindow(&window);
  for (const auto& [dpi, size, button] :
       {std::tuple{96, "989x604", RECT{10, 192, 155, 217}}, std::tuple{144, "1484x906", RECT{15, 288, 233, 326}},
        std::tuple{192, "1978x1208", RECT{20, 384, 310, 434}}}) {
    SCOPED_TRACE(dpi);
    window.ApplyDpi(dpi);
    EXPECT_EQ(ClientSize(window.Handle()), size);
    const RECT open = PlaceIn(window.Control("OeffnenButton"));
    EXPECT_EQ(open.left, button.left);
    EXPECT_EQ(open.top, button.top);
    EXPECT_EQ(open.right, button.right);
    EXPECT_EQ(open.bottom, button.bottom);
  }
}

TEST(WindowLayout, ButtonsRunTheirHandlersAndTheModelIsMirrored) {
  Win32Platform platform;
  TLSForm form(platform);
  platform.FollowLanguage(&form.LanguageName);
  MainWindow window(form, platform);
  platform.SetWindow(&window);
  form.SpeichernBitBtn.Enabled = false;
  form.Label2.Caption = "12 Zeilen \xC5\x82";
  window.Mirror();
  EXPECT_FALSE(::IsWindowEnabled(window.Control("SpeichernBitBtn")));
  wchar_t text[64] = {};
  ::GetWindowTextW(window.Control("Label2"), text, 64);
  EXPECT_EQ(Narrow(text), "12 Zeilen \xC5\x82");

  // The arrows of the LOD count run the model's setter, which makes
  // room for two distances; the spin edit shows the model's value.
  HWND edit = window.Control("LODAnzSpinEdit");
  HWND arrows = nullptr;
  for (HWND c = ::GetWindow(::GetParent(edit), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
    if (reinterpret_cast<HWND>(::SendMessageW(c, UDM_GETBUDDY, 0, 0)) == edit) arrows = c;
  ASSERT_NE(arrows, nullptr);
  NMUPDOWN up{};
  up.hdr.hwndFrom = arrows;
  up.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(arrows));
  up.hdr.code = UDN_DELTAPOS;
  up.iPos = form.LODAnzSpinEdit.Value;
  up.iDelta = 1;
  EXPECT_EQ(::SendMessageW(::GetParent(arrows), WM_NOTIFY, up.hdr.idFrom, reinterpret_cast<LPARAM>(&up)), TRUE);
  EXPECT_EQ(form.LODAnzSpinEdit.Value, 2);
  EXPECT_EQ(form.StringGrid4.RowCount(), 3);
  ::GetWindowTextW(edit, text, 64);
  EXPECT_EQ(Narrow(text), "2");
}

// The preview button opens the preview on the signal sample: its canvas
// shows the model's picture on the screen (not only in memory), and its
// controls reach the model.
TEST(WindowLayout, PreviewButtonShowsThePictureAndSendsTheControls) {
  TempDir dir;
  const std::string shape = dir.File("signal.s");
  WriteBytes(shape, test::Utf16Shape(test::MeshShape(test::SignalSample())));
  Win32Platform platform;
  TLSForm form(platform);
  platform.FollowLanguage(&form.LanguageName);
  MainWindow window(form, platform);
  platform.SetWindow(&window);
  window.Run([&] { form.FormCreate(); });
  platform.scriptedOpen = shape;
  window.Run([&] { form.OeffnenButtonClick(); });
  HWND button = window.Control("PreviewButton");
  ASSERT_NE(button, nullptr);
  const RECT place = PlaceIn(button);
  EXPECT_EQ(std::tuple(place.left, place.top, place.right, place.bottom), std::tuple(680, 13, 825, 38));
  ::SendMessageW(::GetParent(button), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  PreviewWindow* preview = window.Preview();
  ASSERT_NE(preview, nullptr);
  ASSERT_TRUE(preview->Visible());
  EXPECT_TRUE(form.Preview.Visible);
  ::UpdateWindow(preview->Handle());

  // What the canvas shows on the screen, against the empty background.
  auto drawn = [&] {
    ::RedrawWindow(preview->Canvas(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r;
    ::GetClientRect(preview->Canvas(), &r);
    HDC dc = ::GetDC(preview->Canvas());
    int n = 0;
    const COLORREF background = RGB(kPreviewBackground.r, kPreviewBackground.g, kPreviewBackground.b);
    for (int y = 0; y < r.bottom; y += 4)
      for (int x = 0; x < r.right; x += 4) n += ::GetPixel(dc, x, y) != background;
    ::ReleaseDC(preview->Canvas(), dc);
    return n;
  };
  // Some of the model and some background: a canvas left unpainted or
  // painted in one colour fails either way.
  RECT canvas;
  ::GetClientRect(preview->Canvas(), &canvas);
  const int front = drawn(), samples = ((canvas.right + 3) / 4) * ((canvas.bottom + 3) / 4);
  EXPECT_GT(front, 0);
  EXPECT_LT(front, samples);
  ::SendMessageW(preview->ViewButton(PreviewView::Top), BM_CLICK, 0, 0);
  EXPECT_EQ(form.Preview.Camera.pitchDegrees, 90);
  EXPECT_NE(drawn(), front);
  ::SendMessageW(preview->ColourBox(), BM_CLICK, 0, 0);
  EXPECT_TRUE(form.Preview.ColourBySubObject);
  ::SendMessageW(preview->AsSeenBox(), BM_CLICK, 0, 0);
  EXPECT_TRUE(form.Preview.AsSeen);
  // A drag of 20 pixels to the right orbits; a wheel notch over the
  // picture zooms; the LOD arrows set the model's LOD.
  const double yaw = form.Preview.Camera.yawDegrees, zoom = form.Preview.Camera.zoom;
  ::SendMessageW(preview->Canvas(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
  ::SendMessageW(preview->Canvas(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(70, 50));
  ::SendMessageW(preview->Canvas(), WM_LBUTTONUP, 0, MAKELPARAM(70, 50));
  EXPECT_DOUBLE_EQ(form.Preview.Camera.yawDegrees, yaw + 20 * kOrbitDegreesPerPixel);
  RECT onScreen;
  ::GetWindowRect(preview->Canvas(), &onScreen);
  ::SendMessageW(preview->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                 MAKELPARAM(onScreen.left + 10, onScreen.top + 10));
  EXPECT_DOUBLE_EQ(form.Preview.Camera.zoom, zoom * kZoomPerWheelStep);
  NMUPDOWN up{};
  up.hdr.hwndFrom = preview->LodArrows();
  up.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(preview->LodArrows()));
  up.hdr.code = UDN_DELTAPOS;
  up.iDelta = -1;
  ASSERT_EQ(form.Preview.LodSpinEdit.Value, 1);
  ::SendMessageW(preview->Handle(), WM_NOTIFY, up.hdr.idFrom, reinterpret_cast<LPARAM>(&up));
  EXPECT_EQ(form.Preview.LodSpinEdit.Value, 0);
  // At 0 the edit shows the model's word for every LOD.
  wchar_t shown[64] = {};
  ::GetWindowTextW(preview->LodEdit(), shown, 64);
  EXPECT_EQ(Narrow(shown), form.Preview.AllLodsText);
  ::SendMessageW(preview->ResetButton(), BM_CLICK, 0, 0);
  EXPECT_DOUBLE_EQ(form.Preview.Camera.yawDegrees, 0);
  EXPECT_GT(::GetWindowTextLengthW(preview->Status()), 0);
  ::SendMessageW(preview->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Preview.Visible);
  EXPECT_FALSE(preview->Visible());
}

// ---- Registry and locale (values put there by registry_locale.sh) ------------------------

TEST(WindowsRegistry, ReadsTheSimulatorFolderWrittenWithReg) {
  const char* expected = std::getenv("LODSMITH_EXPECT_SIMULATOR");
  if (!expected) GTEST_SKIP() << "run through tests/win32/registry_locale.sh";
  EXPECT_EQ(ReadLocalMachineString("SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0", "EXE Path"),
            std::optional<std::string>(expected));
  EXPECT_EQ(ReadLocalMachineString("SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0", "missing"),
            std::nullopt);
  EXPECT_EQ(ReadLocalMachineString("SOFTWARE\\Lodsmith\\No such key", "EXE Path"), std::nullopt);
}

TEST(WindowsLocale, DecimalSeparatorFollowsTheRegionalSettings) {
  const char* expected = std::getenv("LODSMITH_EXPECT_DECIMAL");
  if (!expected) GTEST_SKIP() << "run through tests/win32/registry_locale.sh";
  EXPECT_EQ(SystemDecimalSeparator(), expected[0]);
  Win32Platform platform;
  EXPECT_EQ(platform.DecimalSeparator(), expected[0]);
}

// ---- Files ---------------------------------------------------------------------------

TEST(WindowsFiles, AtomicReplaceKeepsTheBackupInFoldersWithNonAsciiNames) {
  TempDir dir;
  for (const char* folder : {kUmlautFolder, kPolishFolder}) {
    SCOPED_TRACE(folder);
    const std::string base = dir.File(folder);
    std::filesystem::create_directories(FsPath(base));
    const std::string shape = base + "\\Lok \xC5\x81\xC3\xBC.s";
    const std::string backup = base + "\\Lok \xC5\x81\xC3\xBC.BAK";
    WriteFileAtomic(shape, "first", backup);
    EXPECT_FALSE(FileExists(backup));
    WriteFileAtomic(shape, "second", backup);
    WriteFileAtomic(shape, "third", backup);
    std::FILE* f = OpenFile(shape, "rb");
    ASSERT_NE(f, nullptr);
    char buf[16] = {};
    const std::size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    EXPECT_EQ(std::string(buf, n), "third");
    f = OpenFile(backup, "rb");
    ASSERT_NE(f, nullptr);
    const std::size_t m = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    EXPECT_EQ(std::string(buf, m), "second");
    // Nothing but the file and its backup is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(FsPath(base))) ++entries;
    EXPECT_EQ(entries, 2);
  }
}

TEST(WindowsFiles, BatchFileRunsTheUtilityThroughTheCommandInterpreter) {
  // The stand-in utility (stand_in_utility.cpp) sits where the simulator
  // keeps the real one and writes "converted <its arguments>" to temp.s.
  const char* standIn = std::getenv("LODSMITH_STAND_IN_UTILITY");
  if (!standIn) GTEST_SKIP() << "the stand-in utility was not named (LODSMITH_STAND_IN_UTILITY)";
  // Folders and names with a blank, and with letters beyond ASCII: the
  // batch file is 8-bit text that the command interpreter reads in the
  // console's code page, so those reach it as their short names.
  struct Case {
    const char *toolFolder, *shapeFolder, *shapeName;
    bool ascii;
  };
  const Case cases[] = {
      {"Train Simulator", "My Models", "lok 1.s", true},
      {"Train Simulator", kUmlautFolder, "lok 1.s", false},
      // "Züge ł", "Łódź Ü.s"
      {"Z\xC3\xBCge \xC5\x82", kPolishFolder,
       "\xC5\x81\xC3\xB3"
       "d\xC5\xBA \xC3\x9C.s",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.shapeFolder) + "/" + c.shapeName);
    TempDir dir;
    const std::string toolDir = Win(dir.File(std::string(c.toolFolder) + "\\utils\\ffedit"));
    std::filesystem::create_directories(FsPath(toolDir));
    std::filesystem::copy_file(FsPath(standIn), FsPath(toolDir + "\\ffeditc_unicode.exe"));
    const std::string models = Win(dir.File(c.shapeFolder));
    std::filesystem::create_directories(FsPath(models));
    const std::string shape = models + "\\" + c.shapeName;
    WriteBytes(shape, "original");
    const std::string program = Win(dir.File("program"));
    std::filesystem::create_directories(FsPath(program));

    const std::string tool = toolDir + "\\ffeditc_unicode.exe";
    const std::string script =
        WriteCompressScript(program, tool, shape, [](const Message&) { return std::string("note"); });
    EXPECT_EQ(script.substr(script.size() - 8), "temp.bat");
    const std::string batch = ReadBytes(script);
    if (c.ascii) {
      EXPECT_EQ(batch, WindowsBatchText(tool, shape));  // ASCII: as always
    } else {
      for (char ch : batch) EXPECT_LT(static_cast<unsigned char>(ch), 0x80u) << batch;
      EXPECT_NE(batch.find(Win(dir.path())), std::string::npos) << batch;  // ASCII names stay
    }
    EXPECT_EQ(RunScriptAndWait(script), 0);
    const std::string result = ReadBytes(shape);
    EXPECT_EQ(result.rfind("converted ", 0), 0u) << result;
    EXPECT_NE(result.find(" /O:temp.s"), std::string::npos) << result;
    EXPECT_FALSE(FileExists(toolDir + "\\temp.s"));
    // The shape kept its own name: nothing else is left in its folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(FsPath(models))) ++entries;
    EXPECT_EQ(entries, 1);
  }
}

// ---- Printing ----------------------------------------------------------------------------

TEST(GdiPrint, ListingUnitsMapToTheDeviceAsTheCoreLaysThemOut) {
  // 0.1 mm: the listing's left margin (20 mm) and one line pitch (4.3 mm).
  EXPECT_EQ(ListingToDevice(kListingLeft, kListingPitch, 600, 600).x, 472);
  EXPECT_EQ(ListingToDevice(kListingLeft, kListingPitch, 600, 600).y, 102);
  EXPECT_EQ(ListingToDevice(kListingLeft, kListingPitch, 300, 1200).y, 203);

  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
  ASSERT_TRUE(SetListingMapping(dc));
  POINT p[2] = {{kListingLeft, 10 * kListingPitch}, {2540, 2540}};
  ::LPtoDP(dc, p, 2);
  const POINT expected = ListingToDevice(kListingLeft, 10 * kListingPitch, dpi, ::GetDeviceCaps(dc, LOGPIXELSY));
  EXPECT_NEAR(p[0].x, expected.x, 1);
  EXPECT_NEAR(p[0].y, expected.y, 1);
  EXPECT_NEAR(p[1].x, dpi * 10, 1);  // 254 mm are ten inches

  // A drawn line's ink lies in its own pitch, right of the left margin.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -200, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(dc, bmp);
  ::SetMapMode(dc, MM_TEXT);
  RECT all{0, 0, 400, 200};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ASSERT_TRUE(SetListingMapping(dc));
  PrintPage page;
  page.lines.push_back({kListingLeft, kListingPitch, true, "MMMMMMMM"});
  DrawListingPage(dc, page);
  ::GdiFlush();
  const auto* px = static_cast<const std::uint32_t*>(bits);
  const POINT top = ListingToDevice(kListingLeft, kListingPitch, dpi, dpi);
  const POINT bottom = ListingToDevice(kListingLeft, 2 * kListingPitch, dpi, dpi);
  int inkInside = 0, inkOutside = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 400; ++x)
      if ((px[y * 400 + x] & 0xFFFFFF) != 0xFFFFFF)
        ++((y >= top.y && y <= bottom.y && x >= top.x) ? inkInside : inkOutside);
  EXPECT_GT(inkInside, 20);
  EXPECT_EQ(inkOutside, 0);
  ::SelectObject(dc, old);
  ::DeleteObject(bmp);
  ::DeleteDC(dc);
}

// The texts of the text-drawing records of a metafile.
int CALLBACK CollectTexts(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
  if (record->iType == EMR_EXTTEXTOUTW) {
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const auto* chars =
        reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
    reinterpret_cast<std::vector<std::wstring>*>(data)->emplace_back(chars, text->emrtext.nChars);
  }
  return 1;
}

TEST(GdiPrint, NamesInAnyScriptReachThePrinterAsWideText) {
  // A metafile records what a printer would get: the text of each call.
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
  ::ReleaseDC(nullptr, screen);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(SetListingMapping(dc));
  const std::vector<std::string> texts = {
      "\xD0\x92\xD0\xB0\xD0\xB3\xD0\xBE\xD0\xBD.s 01.02.2024 Seite 1",  // Вагон.s, bold
      "\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xB2\xD0\xBE\xD0\xB7 \xC5\x81\xC3\xB3"
      "d\xC5\xBA \xCE\x93\xCE\xAD\xCF\x86",
  };
  PrintPage page;
  page.lines.push_back({kListingLeft, 0, true, texts[0]});
  page.lines.push_back({kListingLeft, kListingPitch, false, texts[1]});
  DrawListingPage(dc, page);
  HENHMETAFILE metafile = ::CloseEnhMetaFile(dc);
  ASSERT_NE(metafile, nullptr);
  std::vector<std::wstring> drawn;
  ::EnumEnhMetaFile(nullptr, metafile, CollectTexts, &drawn, nullptr);
  ::DeleteEnhMetaFile(metafile);
  ASSERT_EQ(drawn.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(Narrow(drawn[i]), texts[i]);
}

}  // namespace
}  // namespace lodsmith
