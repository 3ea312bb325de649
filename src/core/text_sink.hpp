// Buffered text output to a byte device, with the platform's line end.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace cardlift {

// Where a sink's bytes finally go: a file, the console, or memory in tests.
class ByteDevice {
 public:
  virtual ~ByteDevice() = default;
  // Writes every byte or reports failure; a partial write is a failure.
  virtual bool writeAll(std::string_view bytes) = 0;
  // The same for bytes that end with a line end, which a device that keeps
  // track of line ends need not search for.
  // By default the same as writeAll. Defined out of line, so that a caller
  // is not compiled to guess it.
  virtual bool writeLines(std::string_view bytes);
};

// How '\n' in written text reaches the device.
enum class LineEnd { kLf, kCrLf };

// The line end native to the platform this program was built for.
#ifdef _WIN32
inline constexpr LineEnd kNativeLineEnd = LineEnd::kCrLf;
#else
inline constexpr LineEnd kNativeLineEnd = LineEnd::kLf;
#endif

// Collects text in a fixed buffer and hands it to its device in large
// pieces. Every '\n' written stands for one line end. A sink for a
// terminal hands over each line as it is finished and shows the control
// bytes 0x00-0x08, 0x0B-0x1F and 0x7F as '?', so that no text can move the
// cursor, clear the screen or retitle the window. Nothing here allocates.
// After a failed device write the sink stays failed and drops everything
// written to it afterwards, so the caller learns of the loss once and the
// run can go on.
class TextSink {
 public:
  static constexpr std::size_t kCapacity = 32 * 1024;

  explicit TextSink(ByteDevice* device, LineEnd lineEnd = kNativeLineEnd, bool terminal = false)
      : device_(device), lineEnd_(lineEnd), terminal_(terminal), direct_(!terminal) {}
  TextSink(const TextSink&) = delete;
  TextSink& operator=(const TextSink&) = delete;

  // Appends text; a full buffer is passed on to the device first.
  void write(std::string_view text);
  void write(char c) { write(std::string_view(&c, 1)); }
  // Appends text and one line end.
  void writeLine(std::string_view text);
  // Appends the decimal digits of a number.
  void writeNumber(long long value);

  // Writes the line of `length` characters at the start of `buffer` and one
  // line end, and flushes: what writeLine and flush do, in one hand-over to
  // the device. Where the line end fits behind the line it is put there and
  // the line goes out from the caller's buffer, with nothing copied. False
  // when this or an earlier hand-over failed.
  bool writeLineAndFlush(std::span<char> buffer, std::size_t length) {
    // Inline: every transaction line takes this way.
    if (!direct_ || length + 2 > buffer.size()) {
      return writeLineAndFlushBuffered(buffer, length);
    }
    char* end = buffer.data() + length;
    if (lineEnd_ == LineEnd::kCrLf) *end++ = '\r';
    *end++ = '\n';
    if (!device_->writeLines(std::string_view(buffer.data(), end))) {
      failed_ = true;
      direct_ = false;
      return false;
    }
    return true;
  }

  // A terminal sink hands each line over as it is finished; while lines are
  // held it keeps them until releaseLines (or a full buffer), so that what
  // belongs together reaches the terminal in one piece. Other sinks are not
  // affected.
  void holdLines(bool hold) { holdLines_ = hold; }
  void releaseLines() {
    if (terminal_) flush();
  }

  // Hands everything buffered to the device. False when this or any
  // earlier hand-over failed.
  bool flush();

  // True once a hand-over to the device has failed.
  bool failed() const { return failed_; }

 private:
  // writeLineAndFlush through the buffer: for a terminal, for text still
  // waiting here, after a failure or when no line end fits behind the line.
  bool writeLineAndFlushBuffered(std::span<char> buffer, std::size_t length);
  void put(std::string_view bytes);
  void writeToTerminal(std::string_view text);

  ByteDevice* device_;
  LineEnd lineEnd_;
  bool terminal_;
  bool holdLines_ = false;
  bool failed_ = false;
  // A line may go to the device from the caller's buffer: the sink is no
  // terminal's, has not failed and holds nothing. One test for the three.
  bool direct_;
  std::size_t size_ = 0;
  std::array<char, kCapacity> buffer_{};
};

// A device that drops everything; stands in for a file that could not be
// opened.
class NullDevice final : public ByteDevice {
 public:
  bool writeAll(std::string_view) override { return true; }
};

}  // namespace cardlift
