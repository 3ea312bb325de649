// Buffered text output with line-end translation.
#include "core/text_sink.hpp"

#include <cstring>

#include "core/decimal_digits.hpp"

namespace cardlift {

// Out of line on purpose: see its declaration.
bool ByteDevice::writeLines(std::string_view bytes) { return writeAll(bytes); }

void TextSink::put(std::string_view bytes) {
  if (bytes.empty()) return;
  if (bytes.size() > buffer_.size() - size_) {
    if (!flush()) return;
    if (bytes.size() > buffer_.size()) {
      if (!device_->writeAll(bytes)) fail();
      return;
    }
  }
  std::memcpy(buffer_.data() + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
}

void TextSink::putLineEnd() {
  put(lineEnd_ == LineEnd::kCrLf ? std::string_view("\r\n") : std::string_view("\n"));
}

namespace {

// Bytes a terminal would act on rather than show.
constexpr bool isControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t') || byte == 0x7F;
}

// The C1 control characters U+0080-U+009F in UTF-8: 0xC2 0x80-0x9F.
constexpr bool isC1Control(std::string_view text, std::size_t at) {
  return text[at] == '\xC2' && at + 1 < text.size() &&
         static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
         static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

}  // namespace

void TextSink::write(std::string_view text) {
  if (delivery_ == Delivery::kTerminal) {
    writeToTerminal(text, NewLine::kLineEnd);
    return;
  }
  // A sink that hands over each line searches only this text: what waited
  // before it held no line end. What follows the last waits for the rest
  // of its line.
  // (find is the library's fast search; most texts, a card among them, hold
  // no line end at all.)
  const std::size_t lastLineEnd =
      delivery_ == Delivery::kEachLine && text.find('\n') != std::string_view::npos
          ? text.rfind('\n')
          : std::string_view::npos;
  const std::size_t partLine = text.size() - lastLineEnd - 1;
  if (lineEnd_ == LineEnd::kLf) {
    put(text);
  } else {
    // Split at every '\n' to translate it.
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
      put(text.substr(0, end));
      putLineEnd();
      text.remove_prefix(end + 1);
    }
    put(text);
  }
  if (lastLineEnd != std::string_view::npos) flushLinesBefore(partLine);
}

void TextSink::writeName(std::string_view name) {
  if (delivery_ == Delivery::kTerminal) {
    writeToTerminal(name, NewLine::kControl);
    return;
  }
  write(name);
}

void TextSink::writeToTerminal(std::string_view text, NewLine newLine) {
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    const bool c1 = isC1Control(text, at);
    if (!c1 && !isControl(c)) continue;
    put(text.substr(start, at - start));
    if (c1) ++at;
    start = at + 1;
    if (c != '\n' || newLine == NewLine::kControl) {
      put("?");
      continue;
    }
    putLineEnd();
    if (!holding_) flush();
  }
  put(text.substr(start));
}

void TextSink::flushLinesBefore(std::size_t partLine) {
  // The part line is what was put last; a buffer that holds no more was
  // handed over already.
  if (partLine >= size_) return;
  const std::size_t end = size_ - partLine;
  const bool written = device_->writeLines(std::string_view(buffer_.data(), end));
  std::memmove(buffer_.data(), buffer_.data() + end, partLine);
  size_ = partLine;
  if (!written) fail();
}

void TextSink::writeLine(std::string_view text) {
  // The common case, a line that fits, in one copy: the output file gets
  // millions of these.
  if (lineEnd_ == LineEnd::kLf && delivery_ == Delivery::kBuffered &&
      text.size() < buffer_.size() - size_) {
    if (!text.empty()) std::memcpy(buffer_.data() + size_, text.data(), text.size());
    size_ += text.size();
    buffer_[size_++] = '\n';
    return;
  }
  write(text);
  write("\n");
}

bool TextSink::writeLineAndFlushBuffered(std::span<char> buffer, std::size_t length) {
  writeLine(std::string_view(buffer.data(), length));
  return flush();
}

void TextSink::writeNumber(long long value) { write(DecimalDigits(value).text()); }

bool TextSink::flush() {
  if (size_ == 0) return !failed();
  const bool written = device_->writeAll(std::string_view(buffer_.data(), size_));
  size_ = 0;
  if (!written) fail();
  return written;
}

}  // namespace cardlift
