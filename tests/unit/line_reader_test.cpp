// Line splitting: line ends, over-long lines, NUL bytes and tabs.
#include "driver/line_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cardlift {
namespace {

struct ReadLine {
  std::string text;
  std::uint64_t length;
  bool hasNul;
  bool hasTab;
  bool operator==(const ReadLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ReadLine& line) {
  return out << "{\"" << line.text << "\", " << line.length << ", nul " << line.hasNul << ", tab "
             << line.hasTab << "}";
}

// Hands out its bytes a few at a time, so lines cross buffer refills.
class TrickleSource final : public ByteSource {
 public:
  TrickleSource(std::string bytes, std::size_t step) : bytes_(std::move(bytes)), step_(step) {}
  std::ptrdiff_t read(char* into, std::size_t size) override {
    const std::size_t count = std::min({size, step_, bytes_.size() - at_});
    bytes_.copy(into, count, at_);
    at_ += count;
    return static_cast<std::ptrdiff_t>(count);
  }

 private:
  std::string bytes_;
  std::size_t step_;
  std::size_t at_ = 0;
};

std::vector<ReadLine> readAll(ByteSource& source) {
  LineReader reader(source);
  std::vector<ReadLine> lines;
  InputLine line;
  while (reader.next(line)) {
    lines.push_back({std::string(line.shown()), line.length, line.hasNul(), line.hasTab()});
  }
  return lines;
}

struct LineCase {
  const char* name;
  std::string input;
  std::vector<ReadLine> expected;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class LineReaderTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineReaderTest, SplitsLikeAText) {
  const LineCase& c = GetParam();
  MemorySource whole(c.input);
  EXPECT_EQ(readAll(whole), c.expected);
  // The same lines whatever the sizes of the reads.
  for (std::size_t step : {1u, 2u, 3u, 7u}) {
    TrickleSource trickle(c.input, step);
    EXPECT_EQ(readAll(trickle), c.expected) << "reads of " << step;
  }
}

const std::string k1023(1023, 'a');
const std::string k5000 = std::string(2000, 'b') + "\t" + std::string(2999, 'c');

INSTANTIATE_TEST_SUITE_P(
    Lines, LineReaderTest,
    ::testing::Values(
        LineCase{"Empty", "", {}}, LineCase{"OneEmptyLine", "\n", {{"", 0, false, false}}},
        LineCase{"TwoLines", "ab\ncd\n", {{"ab", 2, false, false}, {"cd", 2, false, false}}},
        LineCase{
            "LastLineWithoutEnd", "ab\ncd", {{"ab", 2, false, false}, {"cd", 2, false, false}}},
        LineCase{"CrLf", "ab\r\ncd\r\n", {{"ab", 2, false, false}, {"cd", 2, false, false}}},
        LineCase{"LoneCrInside", "a\rb\n", {{"a\rb", 3, false, false}}},
        LineCase{"LoneCrAtEndOfFile", "ab\r", {{"ab\r", 3, false, false}}},
        LineCase{"OnlyCr", "\r", {{"\r", 1, false, false}}},
        LineCase{"CrCrLf", "a\r\r\n", {{"a\r", 2, false, false}}},
        LineCase{"EmptyCrLfLine", "\r\n", {{"", 0, false, false}}},
        LineCase{"CtrlZIsOrdinary",
                 "a\x1a"
                 "b\n",
                 {{"a\x1a"
                   "b",
                   3, false, false}}},
        LineCase{"Tab", "a\tb\n", {{"a\tb", 3, false, true}}},
        LineCase{"NulCutsShownText", std::string("ab\0cd\n", 6), {{"ab", 5, true, false}}},
        LineCase{"TabBeforeNul", std::string("a\tb\0c\n", 6), {{"a\tb", 5, true, true}}},
        LineCase{"TabAfterNulDoesNotCount", std::string("ab\0\tc\n", 6), {{"ab", 5, true, false}}},
        LineCase{"Line1023", k1023 + "\n", {{k1023, 1023, false, false}}},
        LineCase{"Line1023CrLf", k1023 + "\r\n", {{k1023, 1023, false, false}}},
        LineCase{"Line1024KeepsFirst1023",
                 k1023 + "z\nnext\n",
                 {{k1023, 1024, false, false}, {"next", 4, false, false}}},
        LineCase{"Line1023WithLoneCrAtEnd", k1023 + "\r", {{k1023, 1024, false, false}}},
        LineCase{
            "LongLineTabPastKeptPart", k5000 + "\n", {{k5000.substr(0, 1023), 5000, false, true}}}),
    [](const ::testing::TestParamInfo<LineCase>& param) { return std::string(param.param.name); });

TEST(LineReaderTest, VeryLongLineIsCountedNotKept) {
  // Ten megabytes and no line end: read in fixed memory, counted whole.
  const std::string huge(10 * 1024 * 1024, 'x');
  const std::string input = huge + "\nok";
  MemorySource source(input);
  const auto lines = readAll(source);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].length, huge.size());
  EXPECT_EQ(lines[0].text.size(), kLineKept);
  EXPECT_EQ(lines[1].text, "ok");
}

TEST(LineReaderTest, FailedReadEndsTheInputWithoutItsCutLine) {
  // Hands out its pieces one per read, then fails.
  class FailingSource final : public ByteSource {
   public:
    explicit FailingSource(std::vector<std::string> pieces) : pieces_(std::move(pieces)) {}
    std::ptrdiff_t read(char* into, std::size_t) override {
      if (next_ == pieces_.size()) return -1;
      const std::string& piece = pieces_[next_++];
      piece.copy(into, piece.size());
      return static_cast<std::ptrdiff_t>(piece.size());
    }

   private:
    std::vector<std::string> pieces_;
    std::size_t next_ = 0;
  };
  struct Case {
    std::vector<std::string> pieces;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {{}, {}},
      {{"a\n"}, {"a"}},
      {{"a\nb"}, {"a"}},
      {{"ab", "c\r\n", "d"}, {"abc"}},
      {{std::string(2000, 'x')}, {}},
  };
  for (const Case& c : cases) {
    FailingSource source(c.pieces);
    LineReader reader(source);
    std::vector<std::string> lines;
    InputLine line;
    while (reader.next(line)) lines.emplace_back(line.shown());
    EXPECT_EQ(lines, c.lines) << c.pieces.size() << " pieces";
    EXPECT_TRUE(reader.failed());
    EXPECT_FALSE(reader.next(line));
  }
  MemorySource clean("a\nb");
  LineReader reader(clean);
  InputLine line;
  while (reader.next(line)) {
  }
  EXPECT_FALSE(reader.failed());
}

}  // namespace
}  // namespace cardlift
