// Buffered text output to a byte device, with the platform's line end.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "core/io.hpp"

namespace cardlift {

// How '\n' in written text reaches the device.
enum class LineEnd { kLf, kCrLf };

// The line end native to the platform this program was built for.
#ifdef _WIN32
inline constexpr LineEnd kNativeLineEnd = LineEnd::kCrLf;
#else
inline constexpr LineEnd kNativeLineEnd = LineEnd::kLf;
#endif

// When a sink hands its text to the device, and what the device gets.
enum class Delivery {
  // In large pieces, byte for byte: files and pipes.
  kBuffered,
  // Each line as soon as it ends, byte for byte: the error log, which
  // keeps step with the output.
  kEachLine,
  // Each line as soon as it ends, with control characters shown as '?':
  // a terminal.
  kTerminal,
};

// Collects text in a fixed buffer and hands it to its device. Every '\n'
// written stands for one line end. A terminal's sink shows the control
// characters (bytes 0x00-0x08, 0x0B-0x1F and 0x7F, and U+0080-U+009F
// written as UTF-8) as '?', so that no text can move the cursor, clear
// the screen or retitle the window. Nothing here allocates. After a
// failed device write the sink stays failed and drops everything written
// to it afterwards, so the caller learns of the loss once and the run can
// go on.
class TextSink {
 public:
  static constexpr std::size_t kCapacity = 32 * 1024;

  explicit TextSink(ByteDevice* device, LineEnd lineEnd = kNativeLineEnd,
                    Delivery delivery = Delivery::kBuffered)
      : device_(device), lineEnd_(lineEnd), delivery_(delivery) {}
  TextSink(const TextSink&) = delete;
  TextSink& operator=(const TextSink&) = delete;

  // Appends text; a full buffer is passed on to the device first.
  void write(std::string_view text);
  void write(char c) { write(std::string_view(&c, 1)); }
  // Appends a file name. On a terminal a line end in it is shown as '?',
  // like the other control characters, so that a name cannot make a
  // console line of its own; every other device gets its bytes.
  void writeName(std::string_view name);
  // Appends text and one line end.
  void writeLine(std::string_view text);
  // Appends the decimal digits of a number.
  void writeNumber(long long value);

  // Writes the line of `length` characters at the start of `buffer` and one
  // line end, and flushes: what writeLine and flush do, in one hand-over to
  // the device. Where nothing waits in the sink and the line end fits
  // behind the line, it is put there and the line goes out from the
  // caller's buffer, with nothing copied; nothing at or beyond
  // buffer.size() is touched. False when this or an earlier hand-over
  // failed.
  bool writeLineAndFlush(std::span<char> buffer, std::size_t length) {
    // Inline: every transaction line takes this way.
    if (size_ != 0 || delivery_ == Delivery::kTerminal || length + 2 > buffer.size()) {
      return writeLineAndFlushBuffered(buffer, length);
    }
    char* end = buffer.data() + length;
    if (lineEnd_ == LineEnd::kCrLf) *end++ = '\r';
    *end++ = '\n';
    if (device_->writeLines(std::string_view(buffer.data(), end))) return true;
    fail();
    return false;
  }

  // A terminal's sink hands each line over as it ends; from holdLines on
  // it keeps them until releaseLines (or a full buffer), so that what
  // belongs together reaches the terminal in one piece, and stopHolding
  // ends that. Other sinks are not affected.
  void holdLines() { holding_ = true; }
  void releaseLines() {
    if (delivery_ == Delivery::kTerminal) flush();
  }
  void stopHolding() { holding_ = false; }

  // Hands everything buffered to the device. False when this or any
  // earlier hand-over failed.
  bool flush();

  // Drops what waits and everything written from now on, without a
  // failure: for a console that must not be written any more.
  void silence() {
    size_ = 0;
    if (!failed()) device_ = &silenced_;
  }

  // True once a hand-over to the device has failed.
  bool failed() const { return device_ == &failed_; }

 private:
  // Stands for the device once it has failed: takes nothing.
  class FailedDevice final : public ByteDevice {
   public:
    bool writeAll(std::string_view) override { return false; }
  };

  // writeLineAndFlush through the buffer: for a terminal, for text still
  // waiting here, or when no line end fits behind the line.
  bool writeLineAndFlushBuffered(std::span<char> buffer, std::size_t length);
  void put(std::string_view bytes);
  void putLineEnd();
  // Hands the buffer over up to its last line end, which stands
  // `partLine` characters before its end; those characters wait.
  void flushLinesBefore(std::size_t partLine);
  // What '\n' is in a text written to a terminal.
  enum class NewLine { kLineEnd, kControl };
  // On a terminal: text with its control characters shown as '?'.
  void writeToTerminal(std::string_view text, NewLine newLine);
  void fail() { device_ = &failed_; }

  ByteDevice* device_;
  LineEnd lineEnd_;
  Delivery delivery_;
  bool holding_ = false;
  std::size_t size_ = 0;
  FailedDevice failed_;
  NullDevice silenced_;
  std::array<char, kCapacity> buffer_{};
};

}  // namespace cardlift
