// The output record: separators, counters and termination.
#include "core/output_record.hpp"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

#include "test_support.hpp"

namespace cardlift {
namespace {

struct AppendCase {
  std::initializer_list<std::string_view> fields;
  std::string_view line;
  std::int32_t separators;
};

class OutputRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    buffer.fill('x');
    record.begin(buffer.data());
  }
  std::array<char, kOutputLineSize> buffer{};
  OutputRecord record;
};

TEST_F(OutputRecordTest, AppendFieldCountsSeparatorsAndCharacters) {
  const AppendCase cases[] = {
      {{"RD"}, "RD", 0},
      {{"RD", ""}, "RD|", 1},
      {{"RD", "", ""}, "RD||", 2},
      {{"RD", "I", "27"}, "RD|I|27", 2},
      // A leading empty field leaves the line empty, so the next field
      // still gets no separator in front.
      {{"", "RD"}, "RD", 0},
  };
  for (const AppendCase& c : cases) {
    record.begin(buffer.data());
    buffer.fill('x');
    for (std::string_view field : c.fields) record.appendField(field);
    EXPECT_EQ(record.view(), c.line);
    EXPECT_EQ(record.separatorCount, c.separators) << c.line;
    EXPECT_EQ(record.length, static_cast<std::int32_t>(c.line.size())) << c.line;
    // The line is not terminated while it grows.
    EXPECT_EQ(buffer[c.line.size()], 'x') << c.line;
  }
}

TEST_F(OutputRecordTest, PadFieldsToAddsMissingSeparatorsAndTerminates) {
  struct PadCase {
    std::int32_t n;
    std::string_view line;
    std::int32_t separators;
  };
  const PadCase cases[] = {
      {5, "RD|A|B|||", 5},
      {2, "RD|A|B", 2},
      {1, "RD|A|B", 2},  // never shortened
      {0, "RD|A|B", 2},
  };
  for (const PadCase& c : cases) {
    buffer.fill('x');
    record.begin(buffer.data());
    record.appendField("RD");
    record.appendField("A");
    record.appendField("B");
    record.padFieldsTo(c.n);
    EXPECT_EQ(std::string(buffer.data()), c.line) << c.n;
    EXPECT_EQ(record.separatorCount, c.separators) << c.n;
    EXPECT_EQ(record.length, static_cast<std::int32_t>(c.line.size())) << c.n;
  }
}

TEST_F(OutputRecordTest, AppendAfterPadContinuesTheLine) {
  record.appendField("RA");
  record.padFieldsTo(3);
  record.appendField("PE");
  record.padFieldsTo(5);
  EXPECT_EQ(std::string(buffer.data()), "RA||||PE|");
  EXPECT_EQ(record.separatorCount, 5);
}

TEST_F(OutputRecordTest, OverwriteChangesOnlyWrittenPositions) {
  record.appendField("RD");
  record.appendField("I");
  record.overwrite(3, 'D');
  record.overwrite(4, 'Z');  // beyond the line: ignored
  record.padFieldsTo(1);
  EXPECT_EQ(std::string(buffer.data()), "RD|D");
}

// Fields laid out once, each with the separator before it, then appended
// to a line as they stand.
TEST_F(OutputRecordTest, FieldRunsAreAppendedAsLaidOut) {
  FieldRun<16> run;
  run.lay([](OutputRecord& fields) {
    fields.appendField("A");
    fields.appendField({});
    fields.appendField("9");
  });
  EXPECT_EQ(run.fields(), "|A||9");
  record.appendField("RD");
  run.appendTo(record);
  record.padFieldsTo(4);
  EXPECT_EQ(std::string(buffer.data()), "RD|A||9|");
  EXPECT_EQ(record.separatorCount, 4);
}

// The converters' lines never come near the buffer's end; should one, it
// is cut short there and still terminated, and nothing beyond is touched.
TEST_F(OutputRecordTest, ASmallBufferIsNeverOverrun) {
  record.begin(buffer.data(), 8);
  record.appendField("RD");
  record.appendField("ABCDEFG");
  record.appendField("Z");
  record.appendBlock("|Y", 1);
  record.padFieldsTo(5);
  EXPECT_EQ(std::string(buffer.data()), "RD|ABCD");
  EXPECT_EQ(record.separatorCount, 1);
  EXPECT_EQ(record.length, 7);
  EXPECT_EQ(buffer[8], 'x');
}

}  // namespace
}  // namespace cardlift
