// How far a long run has come, on the terminal that standard error is.
#include "driver/progress.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/decimal_digits.hpp"

namespace cardlift {

std::ptrdiff_t CountingSource::read(char* into, std::size_t size) {
  const std::ptrdiff_t count = source_.read(into, size);
  if (count > 0) bytesRead_ += static_cast<std::uint64_t>(count);
  return count;
}

namespace {

// Text put together in a fixed buffer; what does not fit is dropped.
class LineText {
 public:
  void append(std::string_view text) {
    const std::size_t count = std::min(text.size(), chars_.size() - size_);
    std::copy_n(text.data(), count, chars_.data() + size_);
    size_ += count;
  }
  void append(char c, std::size_t times) {
    const std::size_t count = std::min(times, chars_.size() - size_);
    std::fill_n(chars_.data() + size_, count, c);
    size_ += count;
  }
  // The decimal digits, with a comma between groups of three.
  void appendGrouped(std::uint64_t value) {
    const DecimalDigits digits(static_cast<long long>(value));
    const std::string_view text = digits.text();
    for (std::size_t at = 0; at < text.size(); ++at) {
      if (at > 0 && (text.size() - at) % 3 == 0) append(",");
      append(text.substr(at, 1));
    }
  }
  std::string_view text() const { return {chars_.data(), size_}; }

 private:
  std::array<char, 256> chars_{};
  std::size_t size_ = 0;
};

// "  about 4 s left", "  about 3 min 20 s left", "  about 2 h 5 min left".
void appendTimeLeft(LineText& line, double seconds) {
  // A day's worth of hours is as far as an estimate goes.
  const auto whole = static_cast<std::uint64_t>(std::ceil(std::min(seconds, 99.0 * 3600.0)));
  line.append("  about ");
  if (whole < 60) {
    line.appendGrouped(whole);
    line.append(" s left");
  } else if (whole < 3600) {
    line.appendGrouped(whole / 60);
    line.append(" min ");
    line.appendGrouped(whole % 60);
    line.append(" s left");
  } else {
    line.appendGrouped(whole / 3600);
    line.append(" h ");
    line.appendGrouped(whole % 3600 / 60);
    line.append(" min left");
  }
}

// The width assumed for a terminal that does not tell its own.
constexpr std::size_t kUsualColumns = 80;

}  // namespace

void ProgressLine::start(const CountingSource& input, std::uint64_t inputSize) {
  if (terminal_ == nullptr) return;
  input_ = &input;
  inputSize_ = inputSize;
  started_ = Clock::now();
  drawn_ = started_;
  running_ = true;
}

void ProgressLine::check(std::int64_t cardsRead) {
  if (!running_) return;
  const Clock::time_point now = Clock::now();
  if (now - started_ < kQuietStart || now - drawn_ < kRedrawInterval) return;
  draw(cardsRead, now);
}

void ProgressLine::draw(std::int64_t cardsRead, Clock::time_point now) {
  drawn_ = now;
  // Drawn only while the run has the terminal: in the background it would
  // write over another program, or be stopped for writing.
  if (!terminal_->inForeground()) return;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  const auto cards = static_cast<std::uint64_t>(std::max<std::int64_t>(cardsRead, 0));
  const std::uint64_t bytes =
      std::min(input_->bytesRead(), inputSize_ > 0 ? inputSize_ : UINT64_MAX);

  LineText line;
  line.append("cardlift: ");
  line.appendGrouped(cards);
  line.append(" cards");
  if (inputSize_ > 0) {
    line.append("  ");
    line.appendGrouped(static_cast<std::uint64_t>(100.0 * static_cast<double>(bytes) /
                                                  static_cast<double>(inputSize_)));
    line.append("%");
  }
  line.append("  ");
  line.appendGrouped(static_cast<std::uint64_t>(static_cast<double>(cards) / seconds));
  line.append(" cards/s");
  if (inputSize_ > 0 && bytes > 0 && bytes < inputSize_) {
    appendTimeLeft(line,
                   seconds * static_cast<double>(inputSize_ - bytes) / static_cast<double>(bytes));
  }

  const std::size_t width = rowWidth();
  const std::string_view text = line.text().substr(0, width);

  LineText bytesOut;
  bytesOut.append("\r");
  // A line the terminal has become too narrow for is blanked first, to the
  // end of the rows it now takes; the new one starts on the last of them.
  if (shownWidth_ > width) {
    bytesOut.append(' ', shownWidth_);
    bytesOut.append("\r");
    shownWidth_ = 0;
  }
  bytesOut.append(text);
  // Over the line shown before, spaces cover whatever the new one leaves.
  bytesOut.append(' ', shownWidth_ > text.size() ? shownWidth_ - text.size() : 0);
  bytesOut.append("\r");
  show(bytesOut.text());
  if (running_) shownWidth_ = text.size();
}

std::size_t ProgressLine::rowWidth() const {
  // The cursor stays inside the last column: a full row would wrap.
  const std::size_t columns = terminal_->terminalColumns();
  return (columns == 0 ? kUsualColumns : columns) - 1;
}

void ProgressLine::erase() {
  if (shownWidth_ == 0 || !terminal_->inForeground()) return;
  // The cursor stands at the start of the line.
  LineText bytesOut;
  bytesOut.append("\r");
  bytesOut.append(' ', shownWidth_);
  bytesOut.append("\r");
  shownWidth_ = 0;
  show(bytesOut.text());
}

void ProgressLine::finish() {
  erase();
  running_ = false;
}

void ProgressLine::show(std::string_view bytes) {
  // A terminal that fails shows nothing more; the run goes on.
  if (!FileDevice(*terminal_, Ending::kAsWritten).writeAll(bytes)) running_ = false;
}

}  // namespace cardlift
