// Reads input lines byte for byte, in bounded memory.
#include "driver/line_reader.hpp"

#include <algorithm>
#include <cstring>

namespace cardlift {

std::ptrdiff_t MemorySource::read(char* into, std::size_t size) {
  const std::size_t count = std::min(size, bytes_.size());
  if (count > 0) std::memcpy(into, bytes_.data(), count);
  bytes_.remove_prefix(count);
  return static_cast<std::ptrdiff_t>(count);
}

bool LineReader::refill() {
  if (exhausted_) return false;
  const std::ptrdiff_t count = source_.read(buffer_.data(), buffer_.size());
  if (count <= 0) {
    exhausted_ = true;
    failed_ = count < 0;
    return false;
  }
  position_ = 0;
  end_ = static_cast<std::size_t>(count);
  return true;
}

bool LineReader::nextInPieces(InputLine& line) {
  std::size_t kept = 0;
  std::uint64_t length = 0;
  std::uint64_t firstNul = UINT64_MAX;
  bool hasTab = false;
  bool ended = false;
  char last = '\0';

  while (!ended) {
    if (position_ == end_ && !refill()) {
      if (length == 0 || failed_) return false;
      break;
    }
    const char* start = buffer_.data() + position_;
    const std::size_t available = end_ - position_;
    const void* newline = std::memchr(start, '\n', available);
    const std::size_t count =
        newline != nullptr ? static_cast<std::size_t>(static_cast<const char*>(newline) - start)
                           : available;
    ended = newline != nullptr;
    position_ += count + (ended ? 1 : 0);
    if (count == 0) continue;

    const std::string_view piece(start, count);
    if (firstNul == UINT64_MAX) {
      const std::size_t nul = piece.find('\0');
      // Only a tab before the first NUL counts.
      if (!hasTab) hasTab = piece.substr(0, nul).find('\t') != std::string_view::npos;
      if (nul != std::string_view::npos) firstNul = length + nul;
    }
    const std::size_t take = std::min(count, kLineKept - kept);
    std::memcpy(kept_.data() + kept, start, take);
    kept += take;
    length += count;
    last = piece.back();
  }

  // The carriage return of a "\r\n" line end is not part of the line.
  if (ended && length > 0 && last == '\r') {
    if (kept == length) --kept;
    --length;
  }
  line.bytes = std::string_view(kept_.data(), kept);
  line.length = length;
  line.nulBeyondBytes = firstNul >= kept && firstNul < length;
  line.tabBeyondBytes = hasTab;
  return true;
}

}  // namespace cardlift
