// The round trip through the simulator's compression utility: the tool
// check, the path mapping into a Wine prefix, the batch file and the Linux
// script (run for real with stand-ins), and the button's dialogs and messages.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

#include "core/core_messages.h"
#include "core/file_io.h"
#include "core/message.h"
#include "platform/console_launcher.h"
#include "platform/system_info.h"
#include "platform/wine_path.h"
#include "test_env.h"
#include "tools/compress.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"

namespace lodsmith {
namespace {

namespace fs = std::filesystem;
using test::FakePlatform;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t p; (p = text.find("\r\n", start)) != std::string::npos; start = p + 2)
    lines.push_back(text.substr(start, p - start));
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

// The script's texts as the window shows them by default.

void WriteExecutable(const std::string& path, const std::string& text) {
  WriteBytes(path, text);
#ifndef _WIN32
  ::chmod(path.c_str(), 0755);
#endif
}

void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
  ::_putenv_s(name, value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

void UnsetEnv(const char* name) {
#ifdef _WIN32
  ::_putenv_s(name, "");  // an empty value removes the variable there
#else
  ::unsetenv(name);
#endif
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    if (old) old_ = old;
    had_ = old != nullptr;
    SetEnv(name, value);
  }
  ~ScopedEnv() {
    if (had_)
      SetEnv(name_, old_);
    else
      UnsetEnv(name_);
  }

private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

// The Linux half of the compression (the Wine prefix seen from outside,
// temp.sh, the terminals) is not built for Windows; there the button writes
// temp.bat, which tests/win32 runs through the command interpreter.
#ifdef _WIN32
#define LINUX_ONLY() GTEST_SKIP() << "the Linux side of the compression"
#else
#define LINUX_ONLY() static_cast<void>(0)
#endif

// ---- The tool --------------------------------------------------------------

TEST(CompressTool, NameTestIgnoresCaseButNothingElse) {
  EXPECT_TRUE(ToolNameMatches("C:\\MSTS\\utils\\ffedit\\ffeditc_unicode.exe"));
  EXPECT_TRUE(ToolNameMatches("C:\\MSTS\\UTILS\\FFEDIT\\FFEDITC_UNICODE.EXE"));
  EXPECT_TRUE(ToolNameMatches("/home/me/.wine/drive_c/ffedit/FFeditc_Unicode.exe"));
  EXPECT_TRUE(ToolNameMatches("ffeditc_unicode.exe"));
  EXPECT_FALSE(ToolNameMatches("C:\\MSTS\\utils\\ffedit\\ffeditc_unicode.exe.bak"));
  EXPECT_FALSE(ToolNameMatches("C:\\MSTS\\utils\\ffedit\\copy_ffeditc_unicode.exe"));
  EXPECT_FALSE(ToolNameMatches("C:\\MSTS\\utils\\ffedit\\ffeditc_unicode.exe\\"));
  EXPECT_FALSE(ToolNameMatches(""));
}

TEST(CompressTool, DefaultPathAppendsTheFolderUnchanged) {
  EXPECT_EQ(DefaultToolPath("C:\\Program Files\\Microsoft Games\\Train Simulator"),
            "C:\\Program Files\\Microsoft Games\\Train Simulator\\utils\\ffedit\\ffeditc_unicode.exe");
  EXPECT_EQ(DefaultToolPath(""), "\\utils\\ffedit\\ffeditc_unicode.exe");
}

TEST(CompressTool, ValidNeedsTheNameAndAnExistingFile) {
#ifdef _WIN32
  GTEST_SKIP() << "names that differ only in case are one file on Windows";
#endif
  TempDir dir;
  WriteBytes(dir.File("FFEDITC_UNICODE.EXE"), "x");
  WriteBytes(dir.File("ffedit.exe"), "x");
  fs::create_directories(dir.File("ffeditc_unicode.exe"));  // a folder of that name is no tool
  EXPECT_TRUE(ToolPathValid(dir.File("FFEDITC_UNICODE.EXE")));
  EXPECT_FALSE(ToolPathValid(dir.File("ffedit.exe")));
  EXPECT_FALSE(ToolPathValid(dir.File("ffeditc_unicode.exe")));
  EXPECT_FALSE(ToolPathValid(dir.File("sub/ffeditc_unicode.exe")));
}

// ---- Wine paths --------------------------------------------------------------

TEST(WinePaths, WindowsPathsAreFoundInThePrefixWithoutRegardToCase) {
  LINUX_ONLY();
  TempDir dir;
  const std::string prefix = dir.File("prefix");
  const std::string sim = prefix + "/drive_c/Program Files/Microsoft Games/Train Simulator";
  fs::create_directories(sim + "/UTILS/FFEdit");
  WriteBytes(sim + "/UTILS/FFEdit/ffeditc_unicode.exe", "x");
  const std::string win = "C:\\Program Files\\microsoft games\\TRAIN SIMULATOR\\utils\\ffedit\\ffeditc_unicode.exe";
  EXPECT_EQ(HostPath(win, prefix), sim + "/UTILS/FFEdit/ffeditc_unicode.exe");
  // A missing component keeps its spelling (the result does not exist).
  EXPECT_EQ(HostPath("C:\\Program Files\\Nope\\x.s", prefix), prefix + "/drive_c/Program Files/Nope/x.s");

  // A drive link of dosdevices wins over drive_c; "d:" may point anywhere.
  fs::create_directories(prefix + "/dosdevices");
  fs::create_directories(dir.File("elsewhere/Models"));
  fs::create_directory_symlink(dir.File("elsewhere"), prefix + "/dosdevices/d:");
  EXPECT_EQ(HostPath("D:\\models\\lok.s", prefix), prefix + "/dosdevices/d:/Models/lok.s");
  EXPECT_EQ(HostPath("z:\\usr\\bin", prefix), "/usr/bin");

  // Paths of this system pass unchanged; a path without drive is rooted.
  EXPECT_EQ(HostPath("/home/me/lok.s", prefix), "/home/me/lok.s");
  EXPECT_EQ(HostPath("relative/lok.s", prefix), "relative/lok.s");
  EXPECT_EQ(HostPath("\\utils\\ffedit\\ffeditc_unicode.exe", prefix), "/utils/ffedit/ffeditc_unicode.exe");
  EXPECT_EQ(HostPath("\\\\server\\share\\x", prefix), "\\\\server\\share\\x");
}

TEST(WinePaths, PathsOfThisSystemAsWineSeesThem) {
  LINUX_ONLY();
  TempDir dir;
  const std::string prefix = dir.File("prefix");
  const std::string canonicalDir = fs::canonical(dir.path()).string();
  auto backslashed = [](std::string s) {
    for (char& c : s)
      if (c == '/') c = '\\';
    return s;
  };
  // No prefix at all: everything is reached through Z:.
  EXPECT_EQ(WinePath(dir.File("my model.s"), prefix), "Z:" + backslashed(canonicalDir + "/my model.s"));
  EXPECT_EQ(WinePath("C:\\x\\y.s", prefix), "C:\\x\\y.s");

  // The prefix's own drives: the deepest matching link wins over "z:" -> "/".
  fs::create_directories(prefix + "/drive_c/Models");
  fs::create_directories(prefix + "/dosdevices");
  fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
  fs::create_directory_symlink("/", prefix + "/dosdevices/z:");
  EXPECT_EQ(WinePath(prefix + "/drive_c/Models/lok.s", prefix), "C:\\Models\\lok.s");
  EXPECT_EQ(WinePath(dir.File("lok.s"), prefix), "Z:" + backslashed(canonicalDir + "/lok.s"));
}

// ---- The batch file ------------------------------------------------------------

TEST(BatchFile, FiveLinesWithQuotedPathsAndTheFixedProgramName) {
  const std::string tool = "D:\\Train Simulator\\UTILS\\FFEDIT\\FFEDITC_UNICODE.EXE";
  const std::string shape = "E:\\My Models\\Lok 1\\lok 1.s";
  auto lines = SplitCrLf(WindowsBatchText(tool, shape));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "D:");
  EXPECT_EQ(lines[1], "cd \"D:\\Train Simulator\\UTILS\\FFEDIT\\\"");
  EXPECT_EQ(lines[2], "ffeditc_unicode.exe \"E:\\My Models\\Lok 1\\lok 1.s\" /O:temp.s");
  EXPECT_EQ(lines[3], "move temp.s \"E:\\My Models\\Lok 1\\lok 1.s\"");
  EXPECT_EQ(lines[4], "pause");
}

TEST(BatchFile, EightBitTextAndPathsWithoutDriveOrOnAShare) {
  // UTF-8 in, the system code page out.
  auto lines = SplitCrLf(WindowsBatchText("C:\\MSTS\\utils\\ffedit\\ffeditc_unicode.exe",
                                          "C:\\Modelle\\Br\xC3\xBC"
                                          "cke.s"));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3],
            "move temp.s \"C:\\Modelle\\Br\xFC"
            "cke.s\"");

  // An empty simulator folder: no drive line, the folder is rooted.
  lines = SplitCrLf(WindowsBatchText(DefaultToolPath(""), "C:\\a.s"));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "cd \"\\utils\\ffedit\\\"");

  // The command interpreter cannot cd to a share; pushd maps it to a drive.
  lines = SplitCrLf(WindowsBatchText("\\\\server\\msts\\utils\\ffedit\\ffeditc_unicode.exe", "C:\\a.s"));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "pushd \"\\\\server\\msts\\utils\\ffedit\\\"");
}

TEST(BatchFile, NamesBeyondAsciiTakeTheirShortFormOthersStayAsWritten) {
  struct Case {
    const char *longPath, *shortPath, *expected;
  };
  const Case cases[] = {
      // Only the names with "Ü" and "ł" change; "Train Simulator" stays.
      {"C:\\Train Simulator\\Modelle \xC3\x9C\\lok 1.s", "C:\\TRAINS~1\\MODELL~1\\LOK1~1.S",
       "C:\\Train Simulator\\MODELL~1\\lok 1.s"},
      {"Z:\\tmp\\Weichen \xC5\x82\\\xC5\x81\xC3\xB3"
       "d\xC5\xBA.s",
       "Z:\\tmp\\WEIC~4VX\\__D_~PYP.S", "Z:\\tmp\\WEIC~4VX\\__D_~PYP.S"},
      // Separators as written, a share's empty names kept.
      {"\\\\server\\msts/M\xC3\xBChle/a.s", "\\\\server\\msts\\MHLE~1\\a.s", "\\\\server\\msts/MHLE~1/a.s"},
      // The system gave a path of another shape: its short path if ASCII.
      {"C:\\a\\..\\M\xC3\xBChle\\a.s", "C:\\MHLE~1\\a.s", "C:\\MHLE~1\\a.s"},
      {"C:\\M\xC3\xBChle\\a.s", "C:\\M\xC3\xBChle", "C:\\M\xC3\xBChle\\a.s"},
      // No short form (short names switched off): the name stays.
      {"C:\\M\xC3\xBChle\\a.s", "C:\\M\xC3\xBChle\\a.s", "C:\\M\xC3\xBChle\\a.s"},
  };
  for (const auto& c : cases) EXPECT_EQ(KeepAsciiNames(c.longPath, c.shortPath), c.expected) << c.longPath;
  // An ASCII path is never looked up; without short names (this system)
  // no path changes.
  EXPECT_EQ(AsciiBatchPath("C:\\Train Simulator\\lok.s"), "C:\\Train Simulator\\lok.s");
#ifndef _WIN32
  EXPECT_EQ(AsciiBatchPath("/tmp/M\xC3\xBChle/a.s"), "/tmp/M\xC3\xBChle/a.s");
#endif
}

// ---- The Linux script, run for real ---------------------------------------------

// A tool folder with a stand-in utility (a shell script named like it) and a
// stand-in `wine` that runs it, first on PATH. The stand-in writes its
// arguments to temp.s, as the real utility writes its output there.
struct ScriptRig {
  TempDir dir;
  std::string toolDir, tool, bin, shapeDir, shape, program;
  std::unique_ptr<ScopedEnv> path, prefix;

  explicit ScriptRig(const std::string& utility = "printf 'converted %s %s' \"$1\" \"$2\" > temp.s\n") {
    toolDir = dir.File("Train Simulator/utils/ff'edit");
    fs::create_directories(toolDir);
    tool = toolDir + "/ffeditc_unicode.exe";
    WriteExecutable(tool, "#!/bin/sh\n" + utility);
    bin = dir.File("bin");
    fs::create_directories(bin);
    WriteExecutable(bin + "/wine", "#!/bin/sh\nprogram=$1\nshift\nexec \"./$program\" \"$@\"\n");
    shapeDir = dir.File("My Models");
    fs::create_directories(shapeDir);
    shape = shapeDir + "/lok 1.s";
    WriteBytes(shape, "original");
    program = dir.File("program");
    fs::create_directories(program);
    path = std::make_unique<ScopedEnv>("PATH", bin + ":" + std::getenv("PATH"));
    prefix = std::make_unique<ScopedEnv>("WINEPREFIX", dir.File("no-prefix"));
  }
  std::string WineShape() const { return WinePath(shape, dir.File("no-prefix")); }
};

TEST(LinuxScript, RunsTheUtilityInItsFolderAndMovesTheOutputOverTheShape) {
  LINUX_ONLY();
  ScriptRig rig;
  std::string script = WriteCompressScript(rig.program, rig.tool, rig.shape, test::German);
  EXPECT_EQ(script, rig.program + "/temp.sh");
  EXPECT_EQ(RunScriptAndWait(script), 0);
  EXPECT_EQ(ReadBytes(rig.shape), "converted " + rig.WineShape() + " /O:temp.s");
  EXPECT_EQ(rig.WineShape().substr(0, 3), "Z:\\");
  EXPECT_FALSE(fs::exists(rig.toolDir + "/temp.s"));
}

TEST(LinuxScript, NoOutputLeavesTheShapeAndFails) {
  LINUX_ONLY();
  ScriptRig rig("echo 'cannot read it' >&2\nexit 3\n");
  // An output left over from an earlier run must not reach the shape.
  WriteBytes(rig.toolDir + "/temp.s", "stale");
  std::string script = WriteCompressScript(rig.program, rig.tool, rig.shape, test::German);
  EXPECT_NE(RunScriptAndWait(script), 0);
  EXPECT_EQ(ReadBytes(rig.shape), "original");
}

TEST(LinuxScript, RelativePathsWorkAfterTheScriptChangesFolder) {
  LINUX_ONLY();
  ScriptRig rig;
  std::error_code ec;
  auto old = fs::current_path();
  fs::current_path(rig.dir.path());
  std::string script = WriteCompressScript("program", "Train Simulator/utils/ff'edit/ffeditc_unicode.exe",
                                           "My Models/lok 1.s", test::German);
  fs::current_path(old);
  EXPECT_EQ(RunScriptAndWait(rig.dir.File(script)), 0);
  EXPECT_EQ(ReadBytes(rig.shape), "converted " + rig.WineShape() + " /O:temp.s");
}

// The two lines the script shows come from the language layer; German
// gives the bytes the script has always held.
TEST(LinuxScript, ShowsItsNotesInTheGivenLanguage) {
  LINUX_ONLY();
  const std::string german = LinuxScriptText("/t", "Z:\\a.s", "/a.s", test::German);
  EXPECT_NE(german.find("    echo 'ffeditc_unicode.exe hat keine Ausgabe (temp.s) geschrieben; die Datei bleibt "
                        "unverändert.' >&2\n"),
            std::string::npos)
      << german;
  EXPECT_NE(german.find("  printf '%s' 'Weiter mit einer beliebigen Taste . . . '\n"), std::string::npos) << german;
  const std::string english =
      LinuxScriptText("/t", "Z:\\a.s", "/a.s", [](const Message& m) { return MessageString(m, Language::English); });
  EXPECT_NE(english.find("  printf '%s' 'Press any key to continue . . . '\n"), std::string::npos) << english;
}

TEST(LinuxScript, AnUnwritableProgramFolderRaisesAnError) {
  LINUX_ONLY();
  TempDir dir;
  EXPECT_THROW(WriteCompressScript(dir.File("missing/folder"), "C:\\ffeditc_unicode.exe", "/a.s", test::German), Error);
}

// ---- The button ------------------------------------------------------------------

class CountingPlatform : public FakePlatform {
public:
  int registryReads = 0;
  std::optional<std::string> RegistryReadLocalMachine(const std::string& key, const std::string& value) override {
    ++registryReads;
    return FakePlatform::RegistryReadLocalMachine(key, value);
  }
};

const char* const kLocate =
    "Bitte ffeditc_unicode.exe suchen, normalerweise im Verzeichnis (trainsimulator)\\utils\\ffedit.";
const char* const kNotFound = "ffeditc_unicode.exe nicht gefunden, Abbruch!";
const char* const kNoStart =
    "ffeditc_unicode.exe konnte nicht gestartet werden. Dieser Programmteil wurde nur unter Windows 2000 getestet.";

struct CompressForm {
  TempDir dir;
  CountingPlatform platform;
  std::unique_ptr<TLSForm> form;
  std::string tool, shape;
  std::unique_ptr<ScopedEnv> prefix;

  CompressForm() {
    platform.executablePath = dir.File("Lodsmith");
    fs::copy_file(test::ShippedLanguageFile(), dir.File("Lodsmith_L.INI"));
    prefix = std::make_unique<ScopedEnv>("WINEPREFIX", dir.File("prefix"));
    form = std::make_unique<TLSForm>(platform);
    form->FormCreate();
    fs::create_directories(dir.File("ffedit"));
    tool = dir.File("ffedit/ffeditc_unicode.exe");
    WriteBytes(tool, "x");
    shape = dir.File("lok 1.s");
    WriteBytes(shape, "shape");
    form->ProgramIni->WriteString("Dir", "InitialDir", dir.path() + "/models/");
    form->ProgramIni->WriteString("Dir", "Filename", "lok 1.s");
  }
  void Click() {
    form->Dispatch([&] { form->CompressButtonClick(); });
  }
  std::string Stored() { return form->ProgramIni->ReadString("Dir", "FFEdit", ""); }
  std::string Script() { return ReadBytes(dir.File("temp.sh")); }
};

TEST(CompressButton, StoredValidToolGoesStraightToTheShapeDialog) {
  LINUX_ONLY();
  CompressForm f;
  f.form->ProgramIni->WriteString("Dir", "FFEdit", f.tool);
  f.platform.openResults = {f.shape};
  f.Click();
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(f.platform.registryReads, 0);
  ASSERT_EQ(f.platform.openRequests.size(), 1u);
  const auto& request = f.platform.openRequests[0];
  EXPECT_EQ(request.initialDir, f.dir.path() + "/models/");
  EXPECT_EQ(request.fileName, "lok 1.s");
  EXPECT_EQ(request.filter, f.form->LanguageText(57));
  EXPECT_FALSE(request.filter.empty());
  EXPECT_TRUE(request.mustExist);
  EXPECT_EQ(f.platform.startedScripts, std::vector<std::string>{f.dir.File("temp.sh")});
  const std::string script = f.Script();
  EXPECT_NE(script.find("cd '" + f.dir.path() + "/ffedit/'"), std::string::npos) << script;
  EXPECT_NE(script.find("wine ffeditc_unicode.exe '" + WinePath(f.shape, f.dir.File("prefix")) + "' /O:temp.s"),
            std::string::npos);
  EXPECT_NE(script.find("mv -f temp.s '" + f.shape + "'"), std::string::npos);
  // The document is not touched.
  EXPECT_FALSE(f.form->Changed);
  EXPECT_TRUE(f.form->ShapeLines.empty());
}

TEST(CompressButton, SimulatorFolderFromTheRegistryInsideTheWinePrefix) {
  LINUX_ONLY();
  CompressForm f;
  const std::string folder = f.dir.File("prefix/drive_c/Program Files/Microsoft Games/Train Simulator/Utils/FFEdit");
  fs::create_directories(folder);
  WriteBytes(folder + "/ffeditc_unicode.exe", "x");
  f.platform.simulatorPath = "C:\\Program Files\\Microsoft Games\\Train Simulator";
  f.platform.openResults = {f.shape};
  f.Click();
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(f.platform.registryReads, 1);
  EXPECT_EQ(f.platform.startedScripts.size(), 1u);
  EXPECT_NE(f.Script().find("cd '" + folder + "/'"), std::string::npos);
  // Only a tool located through the dialog is stored.
  EXPECT_EQ(f.Stored(), "");
}

TEST(CompressButton, ToolInCapitalsIsLocatedStoredAsChosenAndRunUnderTheFixedName) {
  LINUX_ONLY();
  CompressForm f;
  f.form->ProgramIni->WriteString("Dir", "FFEdit", f.dir.File("gone/ffeditc_unicode.exe"));
  const std::string capitals = f.dir.File("ffedit/FFEDITC_UNICODE.EXE");
  WriteBytes(capitals, "x");
  f.platform.openResults = {capitals, f.shape};
  f.Click();
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Warning);
  EXPECT_EQ(f.platform.messages[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(f.platform.messages[0].text, kLocate);
  EXPECT_EQ(f.platform.registryReads, 0);  // the stored key was not empty
  ASSERT_EQ(f.platform.openRequests.size(), 2u);
  EXPECT_EQ(f.platform.openRequests[0].fileName, "ffeditc_unicode.exe");
  EXPECT_EQ(f.platform.openRequests[0].filter, f.form->LanguageText(58));
  EXPECT_EQ(f.platform.openRequests[0].initialDir, f.dir.path() + "/models/");
  EXPECT_EQ(f.Stored(), capitals);
  EXPECT_NE(f.Script().find("wine ffeditc_unicode.exe '"), std::string::npos);
  EXPECT_EQ(f.Script().find("FFEDITC_UNICODE.EXE"), std::string::npos);
}

TEST(CompressButton, RefusedOrCancelledLocationEndsWithTheErrorAndStoresNothing) {
  for (bool cancel : {false, true}) {
    CompressForm f;
    const std::string copy = f.dir.File("ffedit/ffeditc_copy.exe");
    WriteBytes(copy, "x");
    if (!cancel) f.platform.openResults = {copy};
    f.platform.answers = {MsgResult::No};  // the built-in converter is declined
    f.Click();
    ASSERT_EQ(f.platform.messages.size(), 3u) << cancel;
    EXPECT_EQ(f.platform.messages[2].identity, MsgIdentity::OfMessage(static_cast<int>(UiMsg::OfferBuiltInConvert)));
    f.platform.messages.pop_back();
    EXPECT_EQ(f.platform.Texts(), (std::vector<std::string>{kLocate, kNotFound})) << cancel;
    EXPECT_EQ(f.platform.messages[1].kind, MsgKind::Error);
    EXPECT_EQ(f.platform.openRequests.size(), 1u);  // no shape dialog
    EXPECT_EQ(f.Stored(), "");
    EXPECT_TRUE(f.platform.startedScripts.empty());
    EXPECT_FALSE(fs::exists(f.dir.File("temp.sh")));
  }
}

TEST(CompressButton, CancelledShapeDialogEndsSilently) {
  CompressForm f;
  f.platform.openResults = {f.tool};  // located; the shape dialog is cancelled
  f.Click();
  EXPECT_EQ(f.platform.Texts(), std::vector<std::string>{kLocate});
  EXPECT_EQ(f.Stored(), f.tool);
  EXPECT_TRUE(f.platform.startedScripts.empty());
  EXPECT_FALSE(fs::exists(f.dir.File("temp.sh")));
}

TEST(CompressButton, ScriptIsRewrittenEveryRunAndARefusedStartIsReported) {
  LINUX_ONLY();
  CompressForm f;
  f.form->ProgramIni->WriteString("Dir", "FFEdit", f.tool);
  const std::string other = f.dir.File("other.s");
  WriteBytes(other, "shape");
  f.platform.openResults = {f.shape, other};
  f.Click();
  f.platform.startSucceeds = false;
  f.Click();
  EXPECT_EQ(f.Script().find("lok 1.s"), std::string::npos);
  EXPECT_NE(f.Script().find("other.s"), std::string::npos);
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.platform.messages[0].text, kNoStart);
}

TEST(CompressButton, UnwritableScriptStopsBeforeTheStart) {
  LINUX_ONLY();
  CompressForm f;
  f.form->ProgramIni->WriteString("Dir", "FFEdit", f.tool);
  f.platform.executablePath = f.dir.File("missing/Lodsmith");
  f.platform.openResults = {f.shape};
  EXPECT_FALSE(f.form->Dispatch([&] { f.form->CompressButtonClick(); }));
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Error);
  EXPECT_NE(f.platform.messages[0].text.find("temp.sh"), std::string::npos);
  EXPECT_TRUE(f.platform.startedScripts.empty());
}

// ---- The console launcher --------------------------------------------------------

TEST(ConsoleLauncher, TerminalsAndTheirCommandLines) {
  LINUX_ONLY();
  EXPECT_EQ(ConsoleTerminals().front(), "x-terminal-emulator");
  EXPECT_EQ(TerminalCommand("xterm", "/p/temp.sh"), (std::vector<std::string>{"xterm", "-e", "/bin/sh", "/p/temp.sh"}));
  EXPECT_EQ(TerminalCommand("gnome-terminal", "/p/temp.sh"),
            (std::vector<std::string>{"gnome-terminal", "--", "/bin/sh", "/p/temp.sh"}));
  TempDir dir;
  WriteExecutable(dir.File("tool"), "#!/bin/sh\n");
  WriteBytes(dir.File("plain"), "");
  EXPECT_EQ(FindProgram("tool", "/nonexistent:" + dir.path()), dir.File("tool"));
  EXPECT_EQ(FindProgram("plain", dir.path()), "");
  EXPECT_EQ(FindProgram("tool", "/nonexistent"), "");
}

TEST(ConsoleLauncher, NoDisplayNoConsole) {
  LINUX_ONLY();
  ScopedEnv display("DISPLAY", "");
  ScopedEnv wayland("WAYLAND_DISPLAY", "");
  EXPECT_FALSE(StartScriptInConsole("/bin/true"));
}

TEST(ConsoleLauncher, ATerminalRunsTheScript) {
  LINUX_ONLY();
  // A stand-in terminal on PATH that runs the command it is given.
  TempDir dir;
  WriteExecutable(dir.File("xterm"), "#!/bin/sh\nshift\nexec \"$@\"\n");
  WriteExecutable(dir.File("script.sh"), "echo ran > '" + dir.File("ran") + "'\n");
  ScopedEnv display("DISPLAY", ":99");
  ScopedEnv path("PATH", dir.path());
  EXPECT_TRUE(StartScriptInConsole(dir.File("script.sh")));
  // The terminal is detached: wait for its whole trace (a loaded machine
  // may take seconds to start it).
  for (int i = 0; i < 3000 && !(fs::exists(dir.File("ran")) && ReadBytes(dir.File("ran")) == "ran\n"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(ReadBytes(dir.File("ran")), "ran\n");
}

}  // namespace
}  // namespace lodsmith
