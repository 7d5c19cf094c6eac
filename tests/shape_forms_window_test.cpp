// The forms of a shape file through the window: opening each form without
// the byte-order question, saving in the form that was read or the one
// chosen in "Speichern unter...", a broken file refused with one message,
// and the compression button's own converter when the utility is missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "core/file_io.h"
#include "document/shape_file.h"
#include "document/shape_forms.h"
#include "synthetic_shape.h"
#include "test_env.h"
#include "ui/texts/ui_messages.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

std::string SampleBytes() { return ReadBytes(std::string(LODSMITH_SAMPLES_DIR) + "/sample.s"); }

// The sample's UTF-16 text with one byte a character (its characters are
// all ASCII).
std::string EightBit(const std::string& unicode) {
  std::string r;
  for (std::size_t i = 2; i + 1 < unicode.size(); i += 2) r += unicode[i];
  return r;
}

std::size_t FilesIn(const std::string& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

class ShapeFormsWindow : public ::testing::Test {
protected:
  FormFixture fx;
  TLSForm& f = *fx.form;
  Lines sampleLines;

  void SetUp() override {
    ASSERT_FALSE(SampleBytes().empty()) << "samples/sample.s is missing";
    WriteBytes(fx.dir.File("plain.s"), SampleBytes());
    fx.Open(fx.dir.File("plain.s"));
    sampleLines = f.ShapeLines;
    ASSERT_FALSE(sampleLines.empty());
    fx.platform.messages.clear();
  }
};

}  // namespace

// A compressed or binary shape opens without a question, says so in the
// status line, is saved back in its form (the backup keeps the original
// bytes) and is offered in its form by "Speichern unter...", where text can
// be chosen instead.
TEST_F(ShapeFormsWindow, PackedFormsOpenAndSaveInTheirForm) {
  struct Case {
    ShapeForm form;
    UiMsg note;
    int filter;  // its place in the save dialog's list
  };
  for (const Case c :
       {Case{ShapeForm::Compressed, UiMsg::ReadCompressed, 2}, Case{ShapeForm::Binary, UiMsg::ReadBinary, 3}}) {
    SCOPED_TRACE(static_cast<int>(c.form));
    const std::string packed = UnicodeTextToShapeForm(SampleBytes(), c.form);
    const std::string path = fx.dir.File("packed.s");
    WriteBytes(path, packed);
    std::filesystem::remove(fx.dir.File("packed.BAK"));
    fx.platform.messages.clear();

    fx.Open(path);
    EXPECT_TRUE(fx.platform.messages.empty());
    ASSERT_EQ(f.FileName, path);
    EXPECT_EQ(f.session.fileForm, c.form);
    const Lines opened = f.ShapeLines;
    EXPECT_EQ(opened.size(), sampleLines.size());
    EXPECT_EQ(f.Label2.Caption, German(Message(c.note, opened.size())));

    fx.form->Dispatch([&] { f.SpeichernButtonClick(); });
    EXPECT_EQ(DetectShapeForm(ReadBytes(path)), c.form);
    EXPECT_EQ(ReadBytes(fx.dir.File("packed.BAK")), packed);
    fx.Open(path);
    EXPECT_EQ(f.ShapeLines, opened);

    // "Speichern unter..." presets the file's form; Unicode text is chosen.
    const std::string text = fx.dir.File("as-text.s");
    fx.platform.saveResults.push_back(text);
    fx.platform.saveFilterResults.push_back(1);
    fx.form->Dispatch([&] { f.SpeichernUnterButtonClick(); });
    ASSERT_FALSE(fx.platform.saveRequests.empty());
    EXPECT_EQ(fx.platform.saveRequests.back().filter, German(Message(UiMsg::SaveFormFilter)));
    EXPECT_EQ(fx.platform.saveRequests.back().filterIndex, c.filter);
    EXPECT_EQ(f.session.fileForm, ShapeForm::UnicodeText);
    EXPECT_EQ(DetectShapeForm(ReadBytes(text)), ShapeForm::UnicodeText);
    fx.Open(text);
    EXPECT_EQ(f.ShapeLines, opened);
  }
}

// 8-bit text and UTF-16 without the mark are read as they stand and saved as
// Unicode text with the mark: the sample comes back byte for byte. Empty
// lines before an 8-bit header are no part of the shape.
TEST_F(ShapeFormsWindow, TextFormsAreSavedAsUnicodeText) {
  struct Case {
    ShapeForm form;
    std::string bytes;
    UiMsg note;
  };
  const Case cases[] = {{ShapeForm::EightBitText, EightBit(SampleBytes()), UiMsg::ReadEightBit},
                        {ShapeForm::EightBitText, "\r\n\r\n" + EightBit(SampleBytes()), UiMsg::ReadEightBit},
                        {ShapeForm::UnicodeTextNoBom, SampleBytes().substr(2), UiMsg::ReadNoBom}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.form));
    const std::string path = fx.dir.File("text.s");
    WriteBytes(path, c.bytes);
    fx.platform.messages.clear();
    fx.Open(path);
    EXPECT_TRUE(fx.platform.messages.empty());  // no byte-order question
    EXPECT_EQ(f.session.fileForm, c.form);
    EXPECT_EQ(f.ShapeLines, sampleLines);
    EXPECT_EQ(f.Label2.Caption, German(Message(c.note, sampleLines.size())));
    fx.form->Dispatch([&] { f.SpeichernButtonClick(); });
    EXPECT_EQ(ReadBytes(path), SampleBytes());
    EXPECT_EQ(ReadBytes(fx.dir.File("text.BAK")), c.bytes);
    EXPECT_EQ(f.session.fileForm, ShapeForm::UnicodeText);
    // The same file saved compressed, as "Speichern unter..." offers it.
    WriteBytes(path, c.bytes);
    fx.Open(path);
    fx.platform.saveResults.push_back(fx.dir.File("packed.s"));
    fx.platform.saveFilterResults.push_back(2);
    fx.form->Dispatch([&] { f.SpeichernUnterButtonClick(); });
    EXPECT_EQ(
        ShapeFormToUnicodeText(ReadBytes(fx.dir.File("packed.s")), ShapeForm::Compressed),
        ShapeFormToUnicodeText(UnicodeTextToShapeForm(SampleBytes(), ShapeForm::Compressed), ShapeForm::Compressed));
  }
}

// Block flags (here those of sort_vectors, a one-line block the generation
// rewrites) come back from a compressed file after a generation and a save.
TEST_F(ShapeFormsWindow, BlockFlagsSurviveAGenerationAndASave) {
  Lines flagged = sampleLines;
  const int sv = LineWith(flagged, "sort_vectors ( 0 )");
  ASSERT_GE(sv, 0);
  flagged[static_cast<std::size_t>(sv)] = "\tsort_vectors ( 0 skip ( block_attr 0004 ) )";
  const std::string path = fx.dir.File("flags.s");
  WriteBytes(path, UnicodeTextToShapeForm(EncodeShape(flagged, "\xFF\xFE"), ShapeForm::Compressed));
  fx.Open(path);
  ASSERT_EQ(f.ShapeLines, flagged);
  fx.form->Dispatch([&] { f.Sub_ObjectsButtonClick(); });
  fx.form->Dispatch([&] { f.SpeichernButtonClick(); });
  const Lines saved = DecodeShape(ShapeFormToUnicodeText(ReadBytes(path), ShapeForm::Compressed)).lines;
  const int line = LineWith(saved, "skip ( block_attr 0004 )");
  ASSERT_GE(line, 0);
  EXPECT_NE(saved[static_cast<std::size_t>(line)].find("sort_vectors ( 0 "), std::string::npos);
}

// A file that claims a form and breaks it: the converter's one message,
// nothing opens, nothing is written.
TEST_F(ShapeFormsWindow, BrokenPackedFileOpensNothing) {
  const std::string good = UnicodeTextToShapeForm(SampleBytes(), ShapeForm::Compressed);
  const std::string broken[] = {
      good.substr(0, good.size() / 2),                          // cut short
      good.substr(0, 16) + std::string(good.size() - 16, 'x'),  // no zlib stream
  };
  for (const auto& bytes : broken) {
    const std::string path = fx.dir.File("broken.s");
    WriteBytes(path, bytes);
    const std::size_t files = FilesIn(fx.dir.path());
    fx.platform.messages.clear();
    fx.Open(path);
    ASSERT_EQ(fx.platform.messages.size(), 1u);
    EXPECT_EQ(fx.platform.messages[0].kind, MsgKind::Error);
    EXPECT_NE(fx.platform.messages[0].identity.message, 0);
    EXPECT_TRUE(f.FileName.empty());
    EXPECT_TRUE(f.ShapeLines.empty());
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(FilesIn(fx.dir.path()), files);
  }
}

// Without the utility the compression button offers the program's own
// converter: compressed becomes text, text becomes compressed, each in place
// with a backup and an information message; declined, nothing happens.
TEST_F(ShapeFormsWindow, CompressButtonFallsBackToTheBuiltInConverter) {
  const std::string path = fx.dir.File("lok.s");
  const std::string packed = UnicodeTextToShapeForm(SampleBytes(), ShapeForm::Compressed);
  WriteBytes(path, packed);
  struct Step {
    MsgResult answer;
    ShapeForm before, after;
    std::optional<UiMsg> info;
  };
  const Step steps[] = {
      {MsgResult::No, ShapeForm::Compressed, ShapeForm::Compressed, std::nullopt},
      {MsgResult::Yes, ShapeForm::Compressed, ShapeForm::UnicodeText, UiMsg::ConvertedToText},
      {MsgResult::Yes, ShapeForm::UnicodeText, ShapeForm::Compressed, UiMsg::ConvertedToCompressed},
  };
  for (const Step& s : steps) {
    const std::string before = ReadBytes(path);
    ASSERT_EQ(DetectShapeForm(before), s.before);
    fx.platform.messages.clear();
    fx.platform.openResults = {std::nullopt, path};  // the utility is not located
    fx.platform.answers = {s.answer};
    fx.form->Dispatch([&] { f.CompressButtonClick(); });
    EXPECT_TRUE(fx.platform.startedScripts.empty());
    EXPECT_EQ(DetectShapeForm(ReadBytes(path)), s.after);
    ASSERT_GE(fx.platform.messages.size(), 3u);
    EXPECT_EQ(fx.platform.messages[2].identity, MsgIdentity::OfMessage(static_cast<int>(UiMsg::OfferBuiltInConvert)));
    if (!s.info) {
      EXPECT_EQ(fx.platform.messages.size(), 3u);
      continue;
    }
    EXPECT_EQ(ReadBytes(fx.dir.File("lok.BAK")), before);
    EXPECT_EQ(fx.platform.messages.back().kind, MsgKind::Information);
    EXPECT_EQ(fx.platform.messages.back().text, German(Message(*s.info, path, fx.dir.File("lok.BAK"))));
  }
  fx.Open(path);
  EXPECT_EQ(f.ShapeLines.size(), sampleLines.size());
}

// The shared corpus's shapes in other forms than Unicode text open without a
// question or a failure and come back from "Speichern unter..." in their form (text forms as
// Unicode text) with the same lines.
TEST(ShapeFormsCorpus, OtherFormsOpenAndSaveBack) {
  const std::vector<std::string> files = FilesEndingWith(CorpusDir(), ".s");
  if (files.empty()) GTEST_SKIP() << NoCorpusShapes("corpus");
  int seen = 0;
  for (const auto& path : files) {
    const std::string bytes = ReadBytes(path);
    const std::optional<ShapeForm> form = DetectShapeForm(bytes);
    if (!form || *form == ShapeForm::UnicodeText) continue;
    SCOPED_TRACE(path);
    ++seen;
    FormFixture fx;
    TLSForm& f = *fx.form;
    const std::string copy = fx.dir.File("shape.s");
    WriteBytes(copy, bytes);
    fx.Open(copy);
    // The analysis may warn (several LODs already); no question, no failure.
    for (const auto& m : fx.platform.messages) {
      EXPECT_NE(m.kind, MsgKind::Error) << m.text;
      EXPECT_NE(m.kind, MsgKind::Confirmation) << m.text;
      EXPECT_NE(m.identity, MsgIdentity::OfLanguageText(TLSForm::kOpenFailedText));
    }
    ASSERT_EQ(f.FileName, copy);
    EXPECT_EQ(f.session.fileForm, *form);
    const Lines opened = f.ShapeLines;
    EXPECT_GT(opened.size(), 10u);

    const std::string saved = fx.dir.File("saved.s");
    fx.platform.saveResults.push_back(saved);
    fx.form->Dispatch([&] { f.SpeichernUnterButtonClick(); });
    const bool packed = *form == ShapeForm::Compressed || *form == ShapeForm::Binary;
    EXPECT_EQ(DetectShapeForm(ReadBytes(saved)), packed ? *form : ShapeForm::UnicodeText);
    fx.Open(saved);
    EXPECT_EQ(f.ShapeLines, opened);
  }
  EXPECT_GT(seen, 0);
}
