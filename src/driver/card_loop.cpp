// The card loop: every input line read, checked, converted and logged.
#include "driver/card_loop.hpp"

#include <array>

#include "core/card_columns.hpp"
#include "core/card_dispatcher.hpp"
#include "core/compiler.hpp"

namespace cardlift {
namespace {

// The messages of a line that is no card.
void reportRejectedLine(const InputLine& in, TextSink& console, TextSink& errorLog) {
  // Searched for its NUL byte once, for its tab and both messages.
  const std::string_view shown = in.shown();
  const std::string_view reason = in.hasTab(shown) ? kTabMessage : kLengthMessage;
  for (TextSink* sink : {&console, &errorLog}) {
    sink->write(reason);
    sink->write(shown);
    sink->write("]\n");
  }
}

// The messages of a failed call: the card and the error line in the log,
// the card on the console. Cold: kept apart, the loop's usual way is 2
// instructions shorter per line.
CARDLIFT_COLD void reportFailedCall(std::string_view card, const char* message, TextSink& console,
                                    TextSink& errorLog) {
  errorLog.write("[");
  errorLog.write(card);
  errorLog.write("] ");
  errorLog.write(std::string_view(message));
  console.write("[");
  console.write(card);
  console.write("]\n");
}

}  // namespace

RunCounts runCardLoop(ConversionContext& context, ByteSource& input, TextSink& output,
                      TextSink& errorLog, ProgressHook& progress) {
  TextSink& console = context.console;
  RunCounts counts;
  LineReader reader(input);
  std::array<char, kOutputLineSize> line{};
  std::array<char, kMessageSize> message{};
  InputLine in;
  // A terminal gets the messages of one card in one piece.
  console.holdLines();

  while (reader.next(in)) {
    ++counts.cardsRead;
    progress.cardRead(counts.cardsRead);
    // A NUL byte would hide the rest of the line: such a line is never a
    // card. A line of a card's length is kept whole.
    if (in.length != kCardLength || cardHolds(in.bytes, '\0')) {
      ++counts.errors;
      reportRejectedLine(in, console, errorLog);
      console.releaseLines();
      continue;
    }

    const std::string_view card = in.bytes;
    std::int32_t callAgain = 1;
    for (;;) {
      // A failed call always fills `message`.
      const std::int32_t result = convertCard(context, card, line, &callAgain, message);
      if (result == 0) {
        // The record knows the line's length; the line goes out from here.
        const auto length = static_cast<std::size_t>(context.record.length);
        if (output.writeLineAndFlush(line, length)) ++counts.linesWritten;
      } else {
        ++counts.errors;
        reportFailedCall(card, message.data(), console, errorLog);
      }
      if (callAgain != 1) break;
      // The same card once more: its converter goes on where it left off.
      context.cardInHand.continued = true;
    }
    console.releaseLines();
  }
  console.stopHolding();
  counts.readFailed = reader.failed();
  return counts;
}

RunCounts runCardLoop(ConversionContext& context, ByteSource& input, TextSink& output,
                      TextSink& errorLog) {
  ProgressHook none;
  return runCardLoop(context, input, output, errorLog, none);
}

}  // namespace cardlift
