// The card loop converts without touching the heap: counted by replacing
// the global allocation functions in this test program alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "core/conversion_context.hpp"
#include "core/text_sink.hpp"
#include "driver/card_loop.hpp"
#include "driver/line_reader.hpp"

namespace {

std::size_t allocations = 0;

// Takes every byte and keeps none.
class DiscardDevice final : public cardlift::ByteDevice {
 public:
  bool writeAll(std::string_view) override { return true; }
};

}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

TEST(AllocationTest, CardLoopAllocatesNothing) {
  // Cards of every type, good and bad, rejected lines and a long one.
  const std::string cards =
      "112345678912345120070081407150630041 0043a     99509*    0047                  I\n"
      "112345678912345120070081407150630041 0043a     99509*    0047                  D\n"
      "1123456789123451Q0070081407150630041 0043a     99509*    0047                  I\n"
      "2271050042532101100708797031513 30045                                          I\n"
      "2271050042532101100708797031514 2 12A                                          M\n"
      "32710500425321011007087970331121234                                            I\n"
      "82710500425321011007087970315300850084    0086                                 I\n"
      "906037110342101111234569703151AS20045004701500148                        00012 I\n"
      "906037110342101111234569703151AS2 1A5004701500148                        00012 I\n"
      "706037110381102111234560520504122MF31130112814751470                           I\n"
      "2271050042532101100708797031513 3|045                                          I\n"
      "4COPIED CARD                                                                   I\n"
      "short line\n" +
      std::string(5000, 'x') + "\n";
  std::string input;
  for (int i = 0; i < 50; ++i) input += cards;

  DiscardDevice device;
  cardlift::TextSink console(&device);
  cardlift::TextSink output(&device);
  cardlift::TextSink log(&device);
  cardlift::ConversionContext context(console);
  cardlift::MemorySource source(input);

  const std::size_t before = allocations;
  const cardlift::RunCounts counts = cardlift::runCardLoop(context, source, output, log);
  const std::size_t during = allocations - before;

  EXPECT_EQ(counts.cardsRead, 50 * 14);
  EXPECT_GT(counts.linesWritten, 0);
  EXPECT_GT(counts.errors, 0);
  EXPECT_EQ(during, 0u);
  EXPECT_GT(before, 0u) << "the counting allocator is in use";
}

}  // namespace
