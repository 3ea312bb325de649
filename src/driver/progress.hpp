// How far a long run has come, on the terminal that standard error is.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/io.hpp"
#include "driver/card_loop.hpp"
#include "platform/platform.hpp"

namespace cardlift {

// Passes a source's bytes on and counts them.
class CountingSource final : public ByteSource {
 public:
  explicit CountingSource(ByteSource& source) : source_(source) {}
  std::ptrdiff_t read(char* into, std::size_t size) override;
  std::uint64_t bytesRead() const { return bytesRead_; }

 private:
  ByteSource& source_;
  std::uint64_t bytesRead_ = 0;
};

// One line on a terminal, rewritten in place, for a run that has been
// converting for more than a second: cards read, the share of the input
// read, cards per second and the time left, for example
// "cardlift: 1,234,567 cards  45%  310,000 cards/s  about 4 s left".
// The clock is looked at once every kCardsPerCheck cards and the line is
// redrawn at most every kRedrawInterval; nothing is allocated. At each
// redraw the line is cut to the terminal's width at that moment, and it is
// drawn only while the run is in the terminal's foreground, so that a run
// in the background neither draws over another program nor is stopped for
// writing. The cursor is left at the start of the line: a terminal that
// was narrowed meanwhile, and wrapped the line, has the cursor at the
// start of what is left of it. The line is rewritten and erased with
// carriage returns and spaces only, which every terminal and console
// window knows, and never reaches a row's last column.
class ProgressLine final : public ProgressHook {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kQuietStart = std::chrono::seconds(1);
  static constexpr Clock::duration kRedrawInterval = std::chrono::milliseconds(250);

  // Shows the line on terminal when it is one.
  explicit ProgressLine(FileHandle& terminal)
      : terminal_(terminal.isTerminal() ? &terminal : nullptr) {}

  // Starts the clock for a run reading input, whose size in bytes is
  // inputSize, or 0 when unknown.
  void start(const CountingSource& input, std::uint64_t inputSize);
  // Takes the line off the terminal, before other text is shown there; it
  // comes back at a later redraw.
  void erase();
  // Takes the line off the terminal for good: the run has ended.
  void finish();

 private:
  void check(std::int64_t cardsRead) override;
  void draw(std::int64_t cardsRead, Clock::time_point now);
  // The characters a row of the terminal takes without wrapping.
  std::size_t rowWidth() const;
  void show(std::string_view bytes);

  FileHandle* terminal_ = nullptr;
  const CountingSource* input_ = nullptr;
  std::uint64_t inputSize_ = 0;
  bool running_ = false;
  Clock::time_point started_{};
  Clock::time_point drawn_{};
  // Characters of the line now on the terminal; 0 when none is.
  std::size_t shownWidth_ = 0;
};

// A console device on the terminal where a progress line may stand: the
// line is erased before any of the console's text goes out, so that no
// console line is ever broken or mixed with it.
class ProgressAwareDevice final : public ByteDevice {
 public:
  ProgressAwareDevice(ByteDevice& device, ProgressLine& progress)
      : device_(device), progress_(progress) {}
  bool writeAll(std::string_view bytes) override {
    progress_.erase();
    return device_.writeAll(bytes);
  }

 private:
  ByteDevice& device_;
  ProgressLine& progress_;
};

}  // namespace cardlift
