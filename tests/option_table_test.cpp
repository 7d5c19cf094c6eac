#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/option_table.h"

using namespace lodsmith;

namespace {

struct Target {
  std::vector<std::string> set;
};

void Record(Target& t, const std::string& option, const std::string& value) { t.set.push_back(option + ":" + value); }

using TestOption = Option<Target, int>;

// "--jobs" before "--job": the first entry that matches wins.
const TestOption kTable[] = {
    {"--quiet", "-q", OptionValue::None, 0, Record},      {"--jobs", "-j", OptionValue::Any, 1, Record},
    {"--job", nullptr, OptionValue::Any, 2, Record},      {"--output", "-o", OptionValue::NonEmpty, 3, Record},
    {"--long-alias", "-la", OptionValue::Any, 4, Record},
};

using Kind = OptionWord::Kind;

}  // namespace

// Every form an argument can take, read with and without joined values.
TEST(OptionTable, ReadsOperandsOptionsJoinedValuesAndWhatIsWrong) {
  const struct {
    std::vector<std::string> args;
    bool joined;
    Kind kind;
    std::size_t entry;
    std::string option, value;
    std::size_t next;  // the index after what was read
  } cases[] = {
      {{"a.s"}, true, Kind::Operand, 0, "", "", 1},
      {{"-"}, true, Kind::Operand, 0, "", "", 1},
      {{""}, true, Kind::Operand, 0, "", "", 1},
      {{"-q", "x"}, true, Kind::Option, 0, "-q", "", 1},
      {{"--quiet=1"}, true, Kind::Unknown, 0, "", "", 1},  // a switch takes no value
      {{"-qx"}, true, Kind::Unknown, 0, "", "", 1},
      {{"--jobs", "2"}, true, Kind::Option, 1, "--jobs", "2", 2},
      {{"--jobs", "--quiet"}, true, Kind::Option, 1, "--jobs", "--quiet", 2},  // a value may look like an option
      {{"--jobs=2"}, true, Kind::Option, 1, "--jobs", "2", 1},
      {{"--jobs="}, true, Kind::Option, 1, "--jobs", "", 1},
      {{"-j2"}, true, Kind::Option, 1, "-j", "2", 1},
      {{"-j", ""}, true, Kind::Option, 1, "-j", "", 2},
      {{"--jobs"}, true, Kind::MissingValue, 1, "--jobs", "", 1},
      {{"--job", "3"}, true, Kind::Option, 2, "--job", "3", 2},
      {{"--job=3"}, true, Kind::Option, 2, "--job", "3", 1},
      {{"-o", ""}, true, Kind::MissingValue, 3, "-o", "", 2},
      {{"--output="}, true, Kind::MissingValue, 3, "--output", "", 1},
      {{"-la", "v"}, true, Kind::Option, 4, "-la", "v", 2},
      {{"-lav"}, true, Kind::Unknown, 0, "", "", 1},  // only a two-letter alias takes a joined value
      {{"--jobs=2"}, false, Kind::Unknown, 0, "", "", 1},
      {{"-j2"}, false, Kind::Unknown, 0, "", "", 1},
      {{"--output", ""}, false, Kind::MissingValue, 3, "--output", "", 2},
      {{"--bogus"}, false, Kind::Unknown, 0, "", "", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + (c.joined ? " (joined)" : ""));
    std::size_t i = 0;
    const OptionWord w = ReadOption<Target, int>(kTable, c.args, i, c.joined);
    EXPECT_EQ(w.kind, c.kind);
    EXPECT_EQ(w.written, c.args.front());
    EXPECT_EQ(i + 1, c.next);
    if (c.kind == Kind::Option || c.kind == Kind::MissingValue) {
      EXPECT_EQ(w.entry, c.entry);
      EXPECT_EQ(w.option, c.option);
    }
    if (c.kind == Kind::Option) {
      EXPECT_EQ(w.value, c.value);
    }
  }
}

// A whole command line read in a loop, as the programs read theirs.
TEST(OptionTable, ALoopReadsEachArgumentOnceInOrder) {
  const std::vector<std::string> args = {"a.s", "-j", "4", "--output=x.s", "-q", "b.s", "--job", "-q"};
  Target t;
  std::vector<std::string> operands;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const OptionWord w = ReadOption<Target, int>(kTable, args, i, true);
    ASSERT_NE(w.kind, Kind::Unknown) << w.written;
    if (w.kind == Kind::Operand) operands.push_back(w.written);
    if (w.kind == Kind::Option) kTable[w.entry].set(t, w.option, w.value);
  }
  EXPECT_EQ(operands, (std::vector<std::string>{"a.s", "b.s"}));
  EXPECT_EQ(t.set, (std::vector<std::string>{"-j:4", "--output:x.s", "-q:", "--job:-q"}));
}
