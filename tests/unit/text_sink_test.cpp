// Buffering, line-end translation and failure of text sinks.
#include "core/text_sink.hpp"

#include <gtest/gtest.h>

#include <array>

#include "test_support.hpp"

namespace cardlift {
namespace {

using testing::StringDevice;

TEST(TextSinkTest, TranslatesLineEnds) {
  StringDevice lf;
  StringDevice crlf;
  TextSink unix(&lf, LineEnd::kLf);
  TextSink windows(&crlf, LineEnd::kCrLf);
  for (TextSink* sink : {&unix, &windows}) {
    sink->write("a\nb\r");
    sink->write('\n');
    sink->writeNumber(-1234567890123LL);
    sink->writeLine("");
    sink->write("\n");
    sink->flush();
  }
  EXPECT_EQ(lf.text, "a\nb\r\n-1234567890123\n\n");
  EXPECT_EQ(crlf.text, "a\r\nb\r\r\n-1234567890123\r\n\r\n");
}

TEST(TextSinkTest, BuffersUntilFlushedOrFull) {
  StringDevice device;
  TextSink sink(&device, LineEnd::kLf);
  sink.write("line\n");
  EXPECT_EQ(device.writes, 0);
  EXPECT_TRUE(sink.flush());
  EXPECT_EQ(device.writes, 1);
  // More than the buffer holds goes out without waiting for a flush.
  const std::string big(TextSink::kCapacity + 10, 'x');
  sink.write("a");
  sink.write(big);
  EXPECT_GE(device.writes, 2);
  sink.flush();
  EXPECT_EQ(device.text, "line\na" + big);
}

TEST(TextSinkTest, LinesAroundAFullBuffer) {
  // Lines that end one byte short of the buffer, exactly on it, and past
  // it, each after a line that filled the buffer to the same point.
  for (const std::size_t size : {TextSink::kCapacity - 2, TextSink::kCapacity - 1,
                                 TextSink::kCapacity, TextSink::kCapacity + 1}) {
    StringDevice device;
    TextSink sink(&device, LineEnd::kLf);
    const std::string line(size, 'x');
    sink.writeLine(line);
    EXPECT_EQ(device.writes, size + 1 > TextSink::kCapacity ? 1 : 0) << size;
    sink.writeLine("next");
    sink.writeLine(line);
    EXPECT_TRUE(sink.flush());
    EXPECT_EQ(device.text, line + "\nnext\n" + line + "\n") << size;
  }
}

TEST(TextSinkTest, TerminalSinkHandsOverEachLineAndShowsNoControlBytes) {
  StringDevice lf;
  StringDevice crlf;
  TextSink unix(&lf, LineEnd::kLf, Delivery::kTerminal);
  TextSink windows(&crlf, LineEnd::kCrLf, Delivery::kTerminal);
  for (TextSink* sink : {&unix, &windows}) {
    sink->write("one\ntw\x1B[2Jo\t");
    sink->write(std::string_view("\0\x07\x08\x0B\x0C\r\x1F\x7F \x80~", 11));
    // U+009B, a C1 control, then U+00A0, which is none.
    sink->write("\xC2\x9B\xC2\xA0");
    sink->writeName("a\nb");
  }
  EXPECT_EQ(lf.text, "one\n");
  for (TextSink* sink : {&unix, &windows}) sink->write("\n");
  EXPECT_EQ(lf.text,
            "one\ntw?[2Jo\t???????? \x80~?\xC2\xA0"
            "a?b\n");
  EXPECT_EQ(crlf.text,
            "one\r\ntw?[2Jo\t???????? \x80~?\xC2\xA0"
            "a?b\r\n");
  // Any other sink passes every byte.
  StringDevice file;
  TextSink plain(&file, LineEnd::kLf);
  plain.write("\x1B\r\x7F\xC2\x9B");
  plain.writeName("a\nb");
  plain.flush();
  EXPECT_EQ(file.text,
            "\x1B\r\x7F\xC2\x9B"
            "a\nb");
}

TEST(TextSinkTest, WritesALineAndItsEndInOneHandOver) {
  struct Case {
    LineEnd lineEnd;
    Delivery delivery;
    std::string_view waiting;  // written before, not yet flushed
    std::size_t room;          // of the line's buffer
    std::string_view expected;
  };
  const Case cases[] = {
      {LineEnd::kLf, Delivery::kBuffered, "", 16,
       "li\x01"
       "e\n"},
      {LineEnd::kCrLf, Delivery::kBuffered, "", 16,
       "li\x01"
       "e\r\n"},
      {LineEnd::kCrLf, Delivery::kBuffered, "", 6,
       "li\x01"
       "e\r\n"},  // the line end fills the room exactly
      {LineEnd::kCrLf, Delivery::kBuffered, "", 5,
       "li\x01"
       "e\r\n"},  // no room behind the line
      {LineEnd::kLf, Delivery::kBuffered, "before\n", 16,
       "before\nli\x01"
       "e\n"},
      {LineEnd::kLf, Delivery::kEachLine, "", 16,
       "li\x01"
       "e\n"},
      {LineEnd::kLf, Delivery::kTerminal, "", 16, "li?e\n"},
  };
  for (const Case& c : cases) {
    StringDevice device;
    TextSink sink(&device, c.lineEnd, c.delivery);
    sink.write(c.waiting);
    // The byte just past the room is the caller's, never the sink's.
    std::array<char, 17> line{'l', 'i', '\x01', 'e'};
    line[c.room] = '#';
    EXPECT_TRUE(sink.writeLineAndFlush(std::span<char>(line.data(), c.room), 4)) << c.expected;
    EXPECT_EQ(device.text, c.expected);
    EXPECT_EQ(device.writes, 1) << c.expected;
    EXPECT_EQ(line[c.room], '#') << c.room;
  }
  StringDevice failing;
  failing.fail = true;
  TextSink sink(&failing, LineEnd::kLf);
  std::array<char, 16> line{'x'};
  EXPECT_FALSE(sink.writeLineAndFlush(line, 1));
  EXPECT_FALSE(sink.writeLineAndFlush(line, 1));
}

TEST(TextSinkTest, EachLineSinkHandsOverWholeLinesAsTheyEnd) {
  StringDevice device;
  TextSink sink(&device, LineEnd::kCrLf, Delivery::kEachLine);
  sink.write("[card] ");
  EXPECT_EQ(device.writes, 0);
  sink.write("error\nnext ");
  EXPECT_EQ(device.text, "[card] error\r\n");
  sink.write("line\n");
  EXPECT_EQ(device.text, "[card] error\r\nnext line\r\n");
  EXPECT_EQ(device.writes, 2);
}

TEST(TextSinkTest, StaysFailedAfterAFailedWrite) {
  StringDevice device;
  TextSink sink(&device);
  EXPECT_TRUE(sink.flush());  // nothing to write cannot fail
  device.fail = true;
  sink.write("lost\n");
  EXPECT_FALSE(sink.flush());
  EXPECT_TRUE(sink.failed());
  device.fail = false;
  sink.write("also lost\n");
  EXPECT_FALSE(sink.flush());
  EXPECT_EQ(device.text, "");
}

TEST(TextSinkTest, WritesNumbersAtTheLimits) {
  StringDevice device;
  TextSink sink(&device);
  sink.writeNumber(0);
  sink.write(' ');
  sink.writeNumber(INT64_MIN);
  sink.write(' ');
  sink.writeNumber(INT64_MAX);
  sink.flush();
  EXPECT_EQ(device.text, "0 -9223372036854775808 9223372036854775807");
}

}  // namespace
}  // namespace cardlift
