// A session on a fake platform with a temporary folder for its files, and
// questions answered from a script: for the tests of the session layer.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "session/lod_rules.h"
#include "session/session.h"
#include "test_env.h"

namespace lodsmith::test {

// Answers from a queue (No when it is empty) and keeps what was asked.
struct ScriptedQuestions : Questions {
  std::deque<bool> answers;
  std::vector<Question> asked;
  bool Ask(const Question& q) override {
    asked.push_back(q);
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
};

struct SessionFixture {
  TempDir dir;
  FakePlatform platform;
  Session session{platform};
  ScriptedQuestions questions;

  explicit SessionFixture(int lods = 1) {
    session.SetUp(lods, [](int) { return std::string(kDefaultDistance); });
  }
  // Writes the lines as a Unicode shape file and opens it.
  OpenResult Open(const Lines& lines, const std::string& name = "shape.s") {
    WriteBytes(dir.File(name), Utf16Shape(lines));
    return session.Open(dir.File(name), questions, "", 1);
  }
};

}  // namespace lodsmith::test
