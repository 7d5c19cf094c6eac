// What every fuzz target shares: the layout of an input, a window model on
// the scripted platform, and the checks whose failure stops the process so
// that the fuzzer keeps the input.
//
// Inputs that carry a shape hold it as text (one line per LF, UTF-8 where it
// decodes, any other byte as the character of that code) or, when they start
// with the byte-order mark FF FE, as the file image itself. Targets that need
// more than the shape read it from a control line in front of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "fake_platform.h"
#include "ui/tlsform.h"

namespace lodsmith::fuzz {

// Writes "invariant violated: <what>" (and the detail, if any) to stderr and
// traps. Never returns.
[[noreturn]] void Violated(const std::string& what, const std::string& detail = "");
inline void Require(bool condition, const char* what, const std::string& detail = "") {
  if (!condition) Violated(what, detail);
}

// A folder of this process for the files the targets write (under /dev/shm
// when there is one: the settings files are synced on every write).
const std::string& WorkDir();
std::string WorkFile(const std::string& name);
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);

std::string_view AsText(const uint8_t* data, std::size_t size);

// The input split at its first LF: the control line and the rest (all of
// the input is the rest when it has no LF).
struct ControlAndRest {
  std::string_view control;
  std::string_view rest;
};
ControlAndRest SplitControl(std::string_view input);

// The file image of shape text (see above); an image passes unchanged.
std::string ShapeImage(std::string_view shape);

// The cells of a comma-separated control text, at most `max`; none for an
// empty text.
std::vector<std::string> ControlCells(std::string_view control, std::size_t max);

// True for a file image in the form the simulator's tools write: the
// byte-order mark FF FE, then well-formed UTF-16LE text whose every line
// ends with CR LF, with no other CR, LF or NUL character; no line after the
// first is longer than the wrap width or starts with the end-of-file mark
// 001A. Every character of such a file is kept: it is read and written
// again byte for byte.
bool PlainTextImage(std::string_view image);

// A fresh window model on the scripted platform as the program starts it:
// language file beside the executable, FormCreate run, the program settings
// kept in memory only. Questions are answered with Yes.
class FuzzForm {
public:
  FuzzForm();
  ~FuzzForm();
  FuzzForm(const FuzzForm&) = delete;
  FuzzForm& operator=(const FuzzForm&) = delete;

  test::FakePlatform platform;
  TLSForm& form() { return *form_; }

  // Writes the image into the work folder under `name` and opens it through
  // the open button. True when the document holds lines afterwards.
  bool Open(std::string_view image, const std::string& name = "fuzz.s");
  // Opens a file that is already there.
  bool OpenPath(const std::string& path);

  // Runs a handler as the event loop does. Anything that is no
  // std::exception escapes Dispatch and ends the process.
  bool Dispatch(const std::function<void()>& handler) { return form_->Dispatch(handler); }

  // True when a warning or error box was shown since `from` (an index into
  // platform.messages).
  bool ComplainedSince(std::size_t from) const;

  // Runs a handler that may rewrite the document and checks the contract of
  // CheckRewrite on it: refused when Dispatch returns false or a warning or
  // error box is shown. With LODSMITH_FUZZ_VERBOSE set in the environment
  // it tells on stderr what happened.
  // `leftOnRefusal`, when given, is what the action may also leave behind
  // when it refuses.
  void Act(const char* action, const std::function<void()>& handler, Lines (*leftOnRefusal)(const Lines&) = nullptr);

private:
  std::unique_ptr<TLSForm> form_;
};

// Structural problems of a shape: those the core's structural check names
// (document/shape_check.h), or else references of vertices (point, normal,
// uv) and of the faces' normals that lie outside their lists, which that
// check does not read. A shape nested deeper than a real one ever is counts
// as unsound without being parsed for the references.
std::vector<std::string> StructureProblems(const Lines& lines);
inline bool Sound(const Lines& lines) { return StructureProblems(lines).empty(); }

// The contract of every rewrite of the document: a refused action (false
// from Dispatch, or `refused`) leaves the lines as they were; a rewrite of a
// sound shape is sound; a rewrite of an unsound one adds no kind of fault
// the structural check names that the shape did not have.
// `context` (the messages shown, say) goes into the report.
void CheckRewrite(const char* action, const Lines& before, bool soundBefore, const Lines& after, bool refused,
                  const std::string& context = "", Lines (*leftOnRefusal)(const Lines&) = nullptr);

// The document as the generation's pre-check may leave it when the
// generation is refused (generation/generator.h, NormaliseSortVectors): the
// first "sort_vectors" line that holds a ")" is cut there, and a line of a
// tab and ")" follows it.
Lines SortVectorsSplit(const Lines& lines);

// Lines joined for a message (the first difference and its neighbourhood).
std::string FirstDifference(const Lines& a, const Lines& b);

}  // namespace lodsmith::fuzz
