// The session's document: open, analyse, save, undo.
#include <algorithm>

#include "core/file_io.h"
#include "core/grid_columns.h"
#include "document/shape_file.h"
#include "document/shape_stream.h"
#include "session/session.h"
#include "session/session_messages.h"

namespace lodsmith {

using namespace grid;

namespace {
const std::string kUtf16Mark("\xFF\xFE", 2);
// Bytes read at a time while a shape is decoded.
constexpr std::size_t kReadPiece = 1 << 18;

// The first problem worth a note on an opened shape. Exporters write the
// counts of geometry_info and its geometry_nodes as they see fit, and the
// simulator reads such shapes: most real shapes would carry a note that only
// alarms. The gate still holds a rewrite to them.
std::optional<ShapeProblem> NotedProblem(const Lines& lines) {
  if (lines.empty()) return std::nullopt;
  const std::vector<ShapeProblem> problems = CheckShape(lines);
  const auto noted = std::find_if(problems.begin(), problems.end(), [](const ShapeProblem& p) {
    return p.fault != ShapeFault::GeometryInfo && p.fault != ShapeFault::NodeCounts;
  });
  if (noted == problems.end()) return std::nullopt;
  return *noted;
}
}  // namespace

void Session::NoteStructure() { structureProblem = NotedProblem(lines); }

void Session::Analyse() {
  if (lines.empty()) return;
  // First, so that the note on a broken structure stands even when the
  // analysis gives up on the shape.
  NoteStructure();
  ShapeAnalysis a = lodsmith::AnalyseShape(lines);
  if (a.failure) {
    // The tables must not go on describing an earlier text: the generation
    // and the repair tools would otherwise work with them on this one.
    const Message failure = *a.failure;
    analysis = ShapeAnalysis{};
    analysis.warnings = std::move(a.warnings);
    analysis.elementVtxState.assign(1, 0);
    Elements.SetRowCount(2);
    Matrices.SetRowCount(2);
    for (int c = kElementName; c <= kElementFaces; ++c) Elements.SetCell(c, 1, "");
    for (int c = kMatrixName; c <= kMatrixAnimated; ++c) Matrices.SetCell(c, 1, "");
    canGenerate_ = false;
    throw Error(failure);
  }
  analysis = std::move(a);

  // Only "Name", "Faces" (and "Image") are written: the assignment columns
  // and the animation marks keep what the user set.
  const std::vector<MatrixRow>& matrices = analysis.matrices;
  Matrices.SetRowCount(static_cast<int>(matrices.size()) + 1);
  for (std::size_t m = 0; m < matrices.size(); ++m) {
    const int row = static_cast<int>(m) + 1;
    Matrices.SetCell(kMatrixName, row, matrices[m].name);
    Matrices.SetCell(kMatrixFaces, row, std::to_string(matrices[m].faces));
  }
  const std::vector<ElementRow>& elements = analysis.elements;
  Elements.SetRowCount(static_cast<int>(elements.size()) + 1);
  for (std::size_t e = 0; e < elements.size(); ++e) {
    const int row = static_cast<int>(e) + 1;
    const ElementRow& el = elements[e];
    Elements.SetCell(kElementName, row, el.name);
    Elements.SetCell(kElementImage, row, el.image);
    Elements.SetCell(kElementFaces, row, el.faces ? std::to_string(*el.faces) : std::string());
  }
  if (analysis.disableGeneration) canGenerate_ = false;
}

OpenResult Session::Open(const std::string& path, Questions& questions, const std::string& settingsPath,
                         int verticesLod, const std::function<void(int)>& progress) {
  OpenResult result;
  Close();
  try {
    // Unicode text, the form of nearly every large shape, is decoded while
    // it is read; every other form is read whole and converted first.
    std::string bytes;
    Lines read;
    std::optional<Utf16ShapeReader> reader;
    ReadFilePieces(path, kReadPiece, [&](std::string_view piece, unsigned long long size) {
      if (bytes.empty() && !reader && piece.substr(0, 2) == kUtf16Mark) {
        // About 32 characters a line (64 bytes of UTF-16 with CR LF).
        read.reserve(static_cast<std::size_t>(size / 64) + 1);
        reader.emplace(read, [&](int count) {
          if (progress) progress(count);
        });
      }
      if (reader)
        reader->Feed(piece);
      else
        bytes.append(piece);
    });
    std::optional<ShapeForm> form;
    if (reader) {
      reader->Finish();
      form = ShapeForm::UnicodeText;
      fileBom = kUtf16Mark;
    } else {
      form = DetectShapeForm(bytes);
      if (form && *form != ShapeForm::UnicodeText) {
        // A file that claims a form and breaks it is told by the converter's
        // own message, which names the fault; nothing opens.
        try {
          bytes = ShapeFormToUnicodeText(bytes, *form);
        } catch (const Error& e) {
          result.status = OpenResult::Status::FormBroken;
          result.failure = e.message();
          KeepUndoCopy();
          return result;
        }
      }
      if (!bytes.empty()) {
        fileBom = bytes.substr(0, std::min<std::size_t>(2, bytes.size()));
        // Only a file that is none of the forms may be no shape at all.
        if (!form && fileBom != kUtf16Mark && !questions.Ask({Question::Kind::ByteOrder})) {
          result.status = OpenResult::Status::Declined;
          KeepUndoCopy();
          return result;
        }
      }
      read = DecodeShape(bytes, [&](int count) {
               if (progress) progress(count);
             }).lines;
    }
    lines = std::move(read);
    changed = false;
    fileName = path;
    fileForm = form.value_or(ShapeForm::UnicodeText);
    result.decoded = true;
    AllowAllActions();
    try {
      Analyse();
    } catch (const Error&) {
      result.warnings = analysis.warnings;
      throw;
    }
    result.warnings = analysis.warnings;
    ApplyDefaultAssignment(verticesLod);
    const std::optional<int> lods =
        LoadModelSettings(settingsPath.empty() ? ModelSettingsFileName() : settingsPath, verticesLod);
    result.settingsLoaded = lods.has_value();
    result.lodsLoaded = lods.value_or(0);
    RefreshSubObjects(verticesLod);
  } catch (const Error&) {
    // One answer for every way reading or analysing can fail: the user can
    // do the same about each of them.
    result.status = result.decoded ? OpenResult::Status::NotAnalysed : OpenResult::Status::Unreadable;
  }
  KeepUndoCopy();
  return result;
}

SaveResult Session::Save(const std::function<void(int)>& progress) {
  SaveResult result;
  result.status = SaveResult::Status::Failed;
  const bool existed = FileExists(fileName);
  // An empty document has no first line to write: it is refused as a failed
  // write, and the file stays as it is.
  if (lines.empty()) result.reasons.emplace_back(SessionMsg::SaveEmptyDocument, fileName);
  if (!lines.empty()) {
    try {
      const auto counted = [&](int i) {
        if (progress) progress(i);
      };
      const bool binary = fileForm == ShapeForm::Compressed || fileForm == ShapeForm::Binary;
      std::string bytes;
      if (binary) {
        // A text the converter cannot write in this form is told by its own
        // message, which names the line; the file stays as it is.
        try {
          bytes = LinesToShapeForm(lines, fileBom, fileForm, counted);
        } catch (const Error& e) {
          result.status = SaveResult::Status::FormRefused;
          result.failure = e.message();
          return result;
        }
      }
      // The previous file becomes the backup only once the new one is
      // complete. Text is encoded while it is written.
      WriteFileAtomicStream(
          fileName,
          [&](const ByteWriter& write) {
            if (binary)
              write(bytes);
            else
              WriteShapeText(lines, fileBom, write, counted);
          },
          ChangeExtension(fileName, ".BAK"));
      // An 8-bit or unmarked file was written as Unicode text with the mark.
      if (fileForm != ShapeForm::Compressed && fileForm != ShapeForm::Binary) fileForm = ShapeForm::UnicodeText;
      changed = false;
      result.status = SaveResult::Status::Written;
      return result;
    } catch (const Error& e) {
      // The target and its backup are as they were; the system's reason
      // names the file.
      result.reasons.push_back(e.message());
    }
  }
  if (!existed) result.reasons.emplace_back(SessionMsg::SaveNoPreviousVersion, fileName);
  return result;
}

void Session::KeepUndoCopy() {
  if (keepUndoCopy)
    undoLines = lines;
  else
    undoLines.clear();
}

void Session::Undo() {
  lines = undoLines;
  changed = false;
  AllowAllActions();
  Analyse();
}

std::string Session::ModelSettingsFileName() const {
  return fileName.empty() ? std::string() : ChangeExtension(fileName, ".Lodsmith");
}

}  // namespace lodsmith
