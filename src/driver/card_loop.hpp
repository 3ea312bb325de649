// The card loop: every input line read, checked, converted and logged.
#pragma once

#include <cstdint>

#include "core/conversion_context.hpp"
#include "core/text_sink.hpp"
#include "driver/line_reader.hpp"

namespace cardlift {

// Told of every card the loop reads, and called back now and then, so
// that a run can show how far it has come. This one shows nothing.
class ProgressHook {
 public:
  static constexpr std::uint32_t kCardsPerCheck = 4096;

  ProgressHook() = default;
  ProgressHook(const ProgressHook&) = delete;
  ProgressHook& operator=(const ProgressHook&) = delete;
  virtual ~ProgressHook() = default;

  // Counts one card read: one decrement and branch.
  void cardRead(std::int64_t cardsRead) {
    if (--untilCheck_ == 0) {
      untilCheck_ = kCardsPerCheck;
      check(cardsRead);
    }
  }

 protected:
  // Every kCardsPerCheck cards.
  virtual void check(std::int64_t /*cardsRead*/) {}

 private:
  std::uint32_t untilCheck_ = kCardsPerCheck;
};

// What one run did.
struct RunCounts {
  std::int64_t cardsRead = 0;
  std::int64_t linesWritten = 0;
  std::int64_t errors = 0;
  // Reading the input failed before its end.
  bool readFailed = false;
};

inline constexpr std::string_view kLengthMessage =
    "ERROR: Transaction length must be 80 characters [";
inline constexpr std::string_view kTabMessage =
    "ERROR: Transaction contains tabs, please replace all tabs with spaces [";

// Reads every line of input. A line that is not an 80-character card (or
// holds a NUL byte) is counted as an error and shown on the console and in
// the error log. A card is handed to convertCard for as long as its
// converter asks: each good line goes to output, flushed at once, and is
// counted only when the device took it; each failed call is counted and
// logged with its error line. The context's console gets every message.
// A failed read ends the loop; the part of a line read before it is
// dropped. Every card read is counted on progress as well.
RunCounts runCardLoop(ConversionContext& context, ByteSource& input, TextSink& output,
                      TextSink& errorLog, ProgressHook& progress);
// The same, showing no progress.
RunCounts runCardLoop(ConversionContext& context, ByteSource& input, TextSink& output,
                      TextSink& errorLog);

}  // namespace cardlift
