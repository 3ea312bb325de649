// cardfloor CARDS LINES OUTPUT: the least work a converter of CARDS that
// flushes every transaction line can do. It reads CARDS through as the
// converter does, then writes the lines of LINES (the transaction lines
// the converter produced) to OUTPUT with exactly one write(2) call per
// line, converting nothing.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The converter reads its input in pieces of this size, too.
constexpr std::size_t kReadSize = 64 * 1024;

std::array<char, kReadSize> gCards;
std::array<char, 2 * kReadSize> gLines;

ssize_t readSome(int descriptor, char* into, std::size_t size) {
  for (;;) {
    const ssize_t count = ::read(descriptor, into, size);
    if (count >= 0 || errno != EINTR) return count;
  }
}

bool writeLine(int descriptor, const char* line, std::size_t size) {
  while (size > 0) {
    const ssize_t count = ::write(descriptor, line, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    line += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

// Reads the cards the way the converter does and counts their lines, so
// that every byte is read and looked at once.
bool readCards(int descriptor, std::size_t& lines) {
  for (;;) {
    const ssize_t count = readSome(descriptor, gCards.data(), gCards.size());
    if (count < 0) return false;
    if (count == 0) return true;
    const char* at = gCards.data();
    const char* end = at + count;
    while (const void* newline = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
      ++lines;
      at = static_cast<const char*>(newline) + 1;
    }
  }
}

// Writes every line of `from`, its line end included, with one call each.
bool copyLines(int from, int to) {
  std::size_t start = 0;
  std::size_t end = 0;
  for (;;) {
    const char* newline =
        static_cast<const char*>(std::memchr(gLines.data() + start, '\n', end - start));
    if (newline != nullptr) {
      const auto stop = static_cast<std::size_t>(newline - gLines.data()) + 1;
      if (!writeLine(to, gLines.data() + start, stop - start)) return false;
      start = stop;
      continue;
    }
    // Keep the unfinished line and read more behind it.
    std::memmove(gLines.data(), gLines.data() + start, end - start);
    end -= start;
    start = 0;
    if (end == gLines.size()) {
      // A line longer than the buffer: pass its first part on as it is.
      if (!writeLine(to, gLines.data(), end)) return false;
      end = 0;
    }
    const ssize_t count =
        readSome(from, gLines.data() + end, std::min(kReadSize, gLines.size() - end));
    if (count < 0) return false;
    if (count == 0) return end == 0 || writeLine(to, gLines.data(), end);
    end += static_cast<std::size_t>(count);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: cardfloor CARDS LINES OUTPUT\n", stderr);
    return 2;
  }
  const int cards = ::open(argv[1], O_RDONLY | O_CLOEXEC);
  const int lines = ::open(argv[2], O_RDONLY | O_CLOEXEC);
  const int output = ::open(argv[3], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (cards < 0 || lines < 0 || output < 0) {
    std::fputs("cardfloor: cannot open a file\n", stderr);
    return 1;
  }
  std::size_t cardCount = 0;
  const bool done = readCards(cards, cardCount) && copyLines(lines, output);
  const bool closed = ::close(output) == 0;
  ::close(lines);
  ::close(cards);
  if (!done || !closed) {
    std::fputs("cardfloor: reading or writing failed\n", stderr);
    return 1;
  }
  return 0;
}
