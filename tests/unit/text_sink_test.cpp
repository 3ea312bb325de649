// Buffering, line-end translation and failure of text sinks.
#include "core/text_sink.hpp"

#include <gtest/gtest.h>

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

TEST(TextSinkTest, TerminalSinkHandsOverEachLine) {
  StringDevice device;
  TextSink sink(&device, LineEnd::kLf, true);
  sink.write("one\ntwo");
  EXPECT_EQ(device.text, "one\n");
  sink.write("\n");
  EXPECT_EQ(device.text, "one\ntwo\n");
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
