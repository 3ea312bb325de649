// cardgen N SEED: writes N valid card images of the usual mix to standard
// output, the same cards for the same seed on every platform.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "card_mix.hpp"

namespace {

bool parseNumber(std::string_view text, std::uint64_t& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && !text.empty();
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t count = 0;
  std::uint64_t seed = 0;
  if (argc != 3 || !parseNumber(argv[1], count) || !parseNumber(argv[2], seed)) {
    std::fputs("usage: cardgen N SEED > FILE\n", stderr);
    return 2;
  }

  cardlift::bench::CardMaker maker(seed);
  constexpr std::size_t kLine = 81;
  std::vector<char> chunk;
  chunk.reserve(kLine * 1024);
  for (std::uint64_t i = 0; i < count; ++i) {
    const cardlift::bench::CardImage card = maker.next();
    chunk.insert(chunk.end(), card.begin(), card.end());
    chunk.push_back('\n');
    if (chunk.size() == chunk.capacity() || i + 1 == count) {
      if (std::fwrite(chunk.data(), 1, chunk.size(), stdout) != chunk.size()) return 1;
      chunk.clear();
    }
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
