// Opening, saving, undo and the unsaved-changes question, through the form
// with a scripted platform.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "core/core_messages.h"
#include "core/file_io.h"
#include "document/document_messages.h"
#include "document/shape_check.h"
#include "faulty_file_system.h"
#include "session/session_messages.h"
#include "test_env.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

std::string SampleBytes() {
  std::string p = std::string(LODSMITH_SAMPLES_DIR) + "/sample.s";
  return ReadBytes(p);
}

class DocumentForm : public ::testing::Test {
protected:
  FormFixture fx;
  TLSForm& f = *fx.form;
  std::string shape = fx.dir.File("wagon.s");

  void SetUp() override {
    ASSERT_FALSE(SampleBytes().empty()) << "samples/sample.s is missing";
    WriteBytes(shape, SampleBytes());
  }
  bool HasMessage(const std::string& text) const {
    for (const auto& m : fx.platform.messages)
      if (m.text == text) return true;
    return false;
  }
  bool HasMessageStartingWith(const std::string& text) const {
    for (const auto& m : fx.platform.messages)
      if (m.text.rfind(text, 0) == 0) return true;
    return false;
  }
};

}  // namespace

TEST_F(DocumentForm, OpenSetsCaptionStatusAndProgramSettings) {
  fx.Open(shape);
  EXPECT_EQ(f.FileName, shape);
  EXPECT_EQ(f.Caption, "Lodsmith   [ wagon.s ]");
  EXPECT_EQ(f.Label1.Caption, shape);
  EXPECT_EQ(f.Label2.Caption, std::to_string(f.ShapeLines.size()) + " " + f.LanguageText(22));
  EXPECT_EQ(f.ShapeLines[0], "SIMISA@@@@@@@@@@JINX0s1t______");
  EXPECT_FALSE(f.Changed);
  EXPECT_EQ(f.UndoLines, f.ShapeLines);
  EXPECT_EQ(f.ProgramIni->ReadString("Dir", "InitialDir", ""), fx.dir.path() + "/");
  EXPECT_EQ(f.ProgramIni->ReadString("Dir", "Filename", ""), "wagon.s");
  EXPECT_FALSE(HasMessage(f.LanguageText(60)));
  EXPECT_EQ(fx.platform.cursor, crDefault);  // the hour-glass is gone again
  // The dialog started in the simulator's trainset folder (no folder stored
  // yet) and asked for an existing file with the shape filter.
  ASSERT_EQ(fx.platform.openRequests.size(), 1u);
  EXPECT_EQ(fx.platform.openRequests[0].initialDir, "\\trains\\trainset");
  EXPECT_TRUE(fx.platform.openRequests[0].mustExist);
  EXPECT_EQ(fx.platform.openRequests[0].filter, f.LanguageText(57));
}

TEST_F(DocumentForm, SavedUnchangedIsByteForByteWithBackup) {
  fx.Open(shape);
  fx.form->Dispatch([&] { f.SpeichernButtonClick(); });
  EXPECT_EQ(ReadBytes(shape), SampleBytes());
  EXPECT_EQ(ReadBytes(fx.dir.File("wagon.BAK")), SampleBytes());
  EXPECT_EQ(f.Label2.Caption, std::to_string(f.ShapeLines.size()) + " " + f.LanguageText(24) + " " +
                                  std::to_string(f.ShapeLines.size()) + " " + f.LanguageText(23));
}

TEST_F(DocumentForm, SaveAsWritesNoBackupAndKeepsTheCaption) {
  fx.Open(shape);
  std::string other = fx.dir.File("copy.s");
  fx.platform.saveResults.push_back(other);
  f.SpeichernUnterButtonClick();
  EXPECT_EQ(ReadBytes(other), SampleBytes());
  EXPECT_FALSE(FileExists(fx.dir.File("copy.BAK")));
  EXPECT_FALSE(FileExists(fx.dir.File("wagon.BAK")));
  EXPECT_EQ(f.Caption, "Lodsmith   [ wagon.s ]");
  EXPECT_EQ(f.Label1.Caption, shape);
  EXPECT_EQ(f.FileName, other);
}

TEST_F(DocumentForm, ChangedStateColoursAndTheCloseQuestion) {
  fx.Open(shape);
  f.SMemoChange();
  EXPECT_EQ(f.SpeichernBitBtn.FontColor, clRed);
  EXPECT_EQ(f.SpeichernUnterBitBtn.FontColor, clRed);
  bool canClose = true;
  fx.platform.answers = {MsgResult::Cancel};
  f.FormCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  EXPECT_EQ(fx.platform.messages.back().text, "Text wurde geändert. Speichern?");
  EXPECT_EQ(fx.platform.messages.back().buttons, MsgButtons::YesNoCancel);
  fx.platform.answers = {MsgResult::No};
  f.FormCloseQuery(canClose);
  EXPECT_TRUE(canClose);
  EXPECT_FALSE(FileExists(fx.dir.File("wagon.BAK")));  // No saves nothing
  fx.platform.answers = {MsgResult::Yes};
  f.FormCloseQuery(canClose);
  EXPECT_TRUE(canClose);
  EXPECT_TRUE(FileExists(fx.dir.File("wagon.BAK")));
  EXPECT_EQ(f.SpeichernBitBtn.FontColor, clWindowText);
}

TEST_F(DocumentForm, FailedSaveKeepsTheWorkAndTheWindowOpen) {
  fx.Open(shape);
  f.ShapeLines.push_back("extra");
  f.SMemoChange();
  // The file's folder disappears under the user's feet.
  f.FileName = fx.dir.File("gone/wagon.s");
  fx.platform.answers = {MsgResult::Yes};
  bool canClose = true;
  f.FormCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  EXPECT_TRUE(f.Changed);
  EXPECT_EQ(f.SpeichernBitBtn.FontColor, clRed);
  EXPECT_TRUE(HasMessageStartingWith(f.LanguageText(59) + " "));
  EXPECT_EQ(ReadBytes(shape), SampleBytes());  // old file intact
  // A cancelled save dialog (no file name yet) does not let the close go on.
  f.FileName.clear();
  fx.platform.answers = {MsgResult::Yes};
  f.FormCloseQuery(canClose);
  EXPECT_FALSE(canClose);
}

TEST_F(DocumentForm, AnsweringNoWhenOpeningDiscardsCancelKeeps) {
  fx.Open(shape);
  f.ShapeLines[1] = "edited";
  f.SMemoChange();
  fx.platform.answers = {MsgResult::Cancel};
  fx.Open(shape);
  EXPECT_EQ(f.ShapeLines[1], "edited");
  EXPECT_TRUE(f.Changed);
  fx.platform.answers = {MsgResult::No};
  fx.Open(shape);
  EXPECT_NE(f.ShapeLines[1], "edited");
  EXPECT_FALSE(f.Changed);
}

TEST_F(DocumentForm, UndoAfterSaveRestoresTheOpenedText) {
  fx.Open(shape);
  auto opened = f.ShapeLines;
  f.ShapeLines[1] = "changed";
  f.SMemoChange();
  f.Sub_ObjectsButton.Enabled = false;
  f.PunkteButton.Enabled = false;
  f.SpeichernButtonClick();
  f.UndoButtonClick();
  EXPECT_EQ(f.ShapeLines, opened);
  EXPECT_FALSE(f.Changed);
  EXPECT_TRUE(f.Sub_ObjectsButton.Enabled);
  EXPECT_TRUE(f.PunkteButton.Enabled);
  EXPECT_EQ(fx.platform.messages.back().text, f.LanguageText(69));
  bool canClose = false;
  fx.platform.messages.clear();
  f.FormCloseQuery(canClose);
  EXPECT_TRUE(canClose);
  EXPECT_TRUE(fx.platform.messages.empty());  // nothing asked
  // Undo with nothing stored.
  f.UndoLines.clear();
  f.UndoButtonClick();
  EXPECT_EQ(fx.platform.messages.back().text, f.LanguageText(68));
  EXPECT_EQ(fx.platform.messages.back().kind, MsgKind::Warning);
}

// A file that is none of the shape forms may be no shape at all: the user
// is asked first.
TEST_F(DocumentForm, ForeignFilesAskFirstAndKeepTheirLeadingBytes) {
  std::string ascii = fx.dir.File("ascii.s");
  WriteBytes(ascii, "shape (\r\n)\r\n");
  fx.platform.answers = {MsgResult::No};
  fx.Open(ascii);
  EXPECT_EQ(fx.platform.messages.back().text, f.LanguageText(61));
  EXPECT_TRUE(f.ShapeLines.empty());
  EXPECT_TRUE(f.FileName.empty());
  EXPECT_EQ(f.Caption, "Lodsmith");
  // Read on with Yes: garbled lines, but the first two bytes come back where
  // the byte-order mark stands.
  std::string binary = fx.dir.File("bin.s");
  WriteBytes(binary, std::string("SIMISB@F\x01\x02\x00\x0A\xFF", 13));
  fx.platform.answers = {MsgResult::Yes};
  fx.Open(binary);
  EXPECT_EQ(f.FileName, binary);
  EXPECT_EQ(f.FileBom, "SI");
  std::string out = fx.dir.File("bin-out.s");
  fx.platform.saveResults.push_back(out);
  f.SpeichernUnterButtonClick();
  EXPECT_EQ(ReadBytes(out).substr(0, 2), "SI");
}

TEST_F(DocumentForm, MissingFileAndEmptyDocumentFailCleanly) {
  fx.Open(fx.dir.File("nowhere.s"));
  EXPECT_TRUE(HasMessage(f.LanguageText(60)));
  EXPECT_TRUE(f.FileName.empty());
  EXPECT_EQ(fx.platform.cursor, crDefault);
  // A folder chosen where a file was expected: the same, no crash.
  fx.platform.messages.clear();
  fx.Open(fx.dir.path());
  EXPECT_EQ(fx.platform.Texts(), std::vector<std::string>{f.LanguageText(60)});
  EXPECT_TRUE(f.FileName.empty());
  // Saving without a file name.
  f.SaveDocument();
  EXPECT_EQ(fx.platform.messages.back().text, "Kein Dateiname angegeben, es wird nicht gespeichert!");
  // An empty document has no first line to write: refused, nothing touched.
  f.FileName = shape;
  f.ShapeLines.clear();
  EXPECT_FALSE(f.SaveDocument());
  EXPECT_EQ(fx.platform.messages.back().text,
            f.LanguageText(59) + " " + f.Text(Message(SessionMsg::SaveEmptyDocument, shape)));
  EXPECT_EQ(ReadBytes(shape), SampleBytes());
}

TEST_F(DocumentForm, CancelledDialogChangesNothing) {
  fx.Open(shape);
  auto lines = f.ShapeLines;
  fx.platform.openResults.push_back(std::nullopt);
  f.OeffnenButtonClick();
  EXPECT_EQ(f.ShapeLines, lines);
  EXPECT_EQ(f.FileName, shape);
  EXPECT_EQ(fx.platform.openRequests.back().initialDir, fx.dir.path() + "/");
  EXPECT_EQ(fx.platform.openRequests.back().fileName, "wagon.s");
}

// A shape that fails the structural check is opened as it is; the status
// line says so, no message box does.
TEST_F(DocumentForm, OpenedShapeThatFailsTheStructuralCheckIsNamedInTheStatusLine) {
  fx.Open(shape);
  EXPECT_EQ(f.StructureNote, "");

  Lines lines = f.ShapeLines;
  std::size_t points = 0;
  while (points < lines.size() && lines[points].find("points (") == std::string::npos) ++points;
  ASSERT_LT(points, lines.size());
  const std::string count = ValueAfter(lines[points], "points", 1);
  ReplaceValueAfter(lines[points], "points", 1, std::to_string(*ParseInt32(count) + 1));
  const std::string broken = fx.WriteShape("broken.s", lines);
  fx.platform.Clear();
  fx.Open(broken);
  const std::string note = "Struktur: points (Zeile " + std::to_string(points + 1) + "): Anzahl " +
                           std::to_string(*ParseInt32(count) + 1) + ", aber " + count + " Einträge point";
  EXPECT_EQ(f.StructureNote, note);
  EXPECT_EQ(f.Label2.Caption, std::to_string(f.ShapeLines.size()) + " " + f.LanguageText(22) + " – " + note);
  for (const auto& m : fx.platform.messages) EXPECT_EQ(m.text.find("Struktur"), std::string::npos) << m.text;

  // Counts of geometry_info that do not match its primitives are how many
  // exporters write them: no note for those alone.
  fx.Open(shape);
  Lines loose = f.ShapeLines;
  for (auto& l : loose)
    if (l.find("geometry_info (") != std::string::npos) ReplaceValueAfter(l, "geometry_info", 2, "7");
  ASSERT_FALSE(CheckShape(loose).empty());
  fx.Open(fx.WriteShape("loose.s", loose));
  EXPECT_EQ(f.StructureNote, "");
}

// Callers act on whether a handler ended with an exception and on which
// text a box showed, never on the text itself.
TEST_F(DocumentForm, DispatchTellsAnEscapedErrorAndBoxesNameTheirText) {
  const std::string ascii = fx.dir.File("ascii.s");
  WriteBytes(ascii, "shape (\r\n)\r\n");
  struct Step {
    const char* what;
    std::function<void()> run;
    bool ranToItsEnd;
    MsgIdentity lastBox;  // of the last box shown; nothing when none is
  };
  const Step steps[] = {
      {"dialog cancelled", [&] { f.OeffnenButtonClick(); }, true, {}},
      {"missing file",
       [&] {
         fx.platform.openResults.push_back(fx.dir.File("nowhere.s"));
         f.OeffnenButtonClick();
       },
       true, MsgIdentity::OfLanguageText(TLSForm::kOpenFailedText)},
      {"byte-order question declined",
       [&] {
         fx.platform.answers = {MsgResult::No};
         fx.platform.openResults.push_back(ascii);
         f.OeffnenButtonClick();
       },
       true, MsgIdentity::OfLanguageText(TLSForm::kByteOrderQuestionText)},
      {"opened",
       [&] {
         fx.platform.openResults.push_back(shape);
         f.OeffnenButtonClick();
       },
       true,
       {}},
      {"no file name",
       [&] {
         f.FileName.clear();
         f.SaveDocument();
       },
       true, MsgIdentity::OfMessage(static_cast<int>(UiMsg::NoFileName))},
      {"an error ends the handler", [] { throw Error(CoreMsg::NotAFile, "/x"); }, false,
       MsgIdentity::OfMessage(static_cast<int>(CoreMsg::NotAFile))},
  };
  for (const Step& step : steps) {
    fx.platform.Clear();
    EXPECT_EQ(f.Dispatch(step.run), step.ranToItsEnd) << step.what;
    if (step.lastBox == MsgIdentity{}) {
      EXPECT_TRUE(fx.platform.messages.empty()) << step.what;
    } else {
      ASSERT_FALSE(fx.platform.messages.empty()) << step.what;
      EXPECT_EQ(fx.platform.messages.back().identity, step.lastBox) << step.what;
    }
  }
  // The escaped error was shown in the user's language.
  EXPECT_EQ(fx.platform.messages.back().text, "/x ist keine Datei.");
  EXPECT_EQ(fx.platform.messages.back().kind, MsgKind::Error);
}

// A failed save says which file and the system's reason after the language
// file's text; for a file that was not there before it says that there is
// no previous version. Window and batch program show the same box.
TEST(SaveFailure, NamesTheFileAndTheReasonInBothLanguages) {
  struct Case {
    const char* what;
    const char* file;
    bool emptyDocument;
  };
  const Case cases[] = {
      {"existing file, the folder refuses writes", "wagon.s", false},
      {"new file, the folder refuses writes", "new.s", false},
      {"empty document", "wagon.s", true},
  };
  for (const char* language : {"Deutsch", "English"})
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + ", " + language);
      FormFixture fx;
      TLSForm& f = *fx.form;
      const std::string shape = fx.dir.File("wagon.s");
      WriteBytes(shape, SampleBytes());
      fx.Open(shape);
      f.LanguageName = language;
      f.FileName = fx.dir.File(c.file);
      if (c.emptyDocument) f.ShapeLines.clear();
      const bool isNew = !FileExists(f.FileName);
      FaultyFileSystem faulty;
      faulty.RefuseWritesIn(fx.dir.path());
      {
        FileSystemOverride files(faulty);
        EXPECT_FALSE(f.SaveDocument());
      }
      const RecordedMessage& box = fx.platform.messages.back();
      std::string expected = f.LanguageText(59) + " " +
                             f.Text(c.emptyDocument ? Message(SessionMsg::SaveEmptyDocument, f.FileName)
                                                    : Message(CoreMsg::CannotWrite, f.FileName, std::strerror(EACCES)));
      if (!c.emptyDocument) expected += ".";  // the system's reason comes without a full stop
      if (isNew) expected += " " + f.Text(Message(SessionMsg::SaveNoPreviousVersion, f.FileName));
      EXPECT_EQ(box.text, expected);
      EXPECT_EQ(box.identity, MsgIdentity::OfLanguageText(59));
      EXPECT_NE(box.text.find(f.FileName), std::string::npos);
      EXPECT_EQ(ReadBytes(shape), SampleBytes());
      EXPECT_FALSE(FileExists(fx.dir.File("new.s")));
    }
  // The words themselves, once per language.
  EXPECT_EQ(MessageString(Message(SessionMsg::SaveNoPreviousVersion, "/m/a.s"), Language::English),
            "/m/a.s did not exist before, so there is no previous version.");
  EXPECT_EQ(MessageString(Message(SessionMsg::SaveEmptyDocument, "/m/a.s"), Language::German),
            "/m/a.s wurde nicht geschrieben: Das Dokument ist leer.");
}
