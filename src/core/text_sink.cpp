// Buffered text output with line-end translation.
#include "core/text_sink.hpp"

#include <cstring>

#include "core/decimal_digits.hpp"

namespace cardlift {

bool ByteDevice::writeLines(std::string_view bytes) { return writeAll(bytes); }

void TextSink::put(std::string_view bytes) {
  if (bytes.empty()) return;
  if (failed_) return;
  if (bytes.size() > buffer_.size() - size_) {
    if (!flush()) return;
    if (bytes.size() > buffer_.size()) {
      if (!device_->writeAll(bytes)) {
        failed_ = true;
        direct_ = false;
      }
      return;
    }
  }
  std::memcpy(buffer_.data() + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
  direct_ = false;
}

namespace {

// Bytes a terminal would act on rather than show.
constexpr bool isControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t' && c != '\n') || byte == 0x7F;
}

}  // namespace

void TextSink::write(std::string_view text) {
  if (terminal_) {
    writeToTerminal(text);
    return;
  }
  if (lineEnd_ == LineEnd::kLf) {
    put(text);
    return;
  }
  // Split at every '\n' to translate it.
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      put(text);
      return;
    }
    put(text.substr(0, end));
    put("\r\n");
    text.remove_prefix(end + 1);
  }
}

void TextSink::writeToTerminal(std::string_view text) {
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (c != '\n' && !isControl(c)) continue;
    put(text.substr(start, at - start));
    start = at + 1;
    if (c != '\n') {
      put("?");
      continue;
    }
    put(lineEnd_ == LineEnd::kCrLf ? std::string_view("\r\n") : std::string_view("\n"));
    if (!holdLines_) flush();
  }
  put(text.substr(start));
}

void TextSink::writeLine(std::string_view text) {
  // The common case, a line that fits, in one copy: the output file gets
  // millions of these.
  if (lineEnd_ == LineEnd::kLf && !terminal_ && !failed_ && text.size() < buffer_.size() - size_) {
    if (!text.empty()) std::memcpy(buffer_.data() + size_, text.data(), text.size());
    size_ += text.size();
    buffer_[size_++] = '\n';
    direct_ = false;
    return;
  }
  write(text);
  write("\n");
}

bool TextSink::writeLineAndFlushBuffered(std::span<char> buffer, std::size_t length) {
  writeLine(std::string_view(buffer.data(), length));
  return flush();
}

void TextSink::writeNumber(long long value) { put(DecimalDigits(value).text()); }

bool TextSink::flush() {
  if (failed_) {
    size_ = 0;
    return false;
  }
  if (size_ == 0) return true;
  const bool written = device_->writeAll(std::string_view(buffer_.data(), size_));
  size_ = 0;
  if (!written) failed_ = true;
  direct_ = !terminal_ && !failed_;
  return written;
}

}  // namespace cardlift
