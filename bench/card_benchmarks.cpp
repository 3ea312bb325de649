// Microbenchmarks of the conversion path: convertCard per card type on
// realistic cards; the card loop over cards held in memory with an output
// device that discards what it is given; and the same loop with one real
// write(2) per line to /dev/null, beside those writes alone.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "card_mix.hpp"
#include "core/card_dispatcher.hpp"
#include "core/card_types.hpp"
#include "core/conversion_context.hpp"
#include "core/text_sink.hpp"
#include "driver/card_loop.hpp"
#include "driver/line_reader.hpp"

namespace {

using cardlift::bench::CardImage;
using cardlift::bench::CardMaker;

constexpr std::uint64_t kSeed = 20140728;
// Enough different cards that the branch predictor cannot learn them.
constexpr std::size_t kCardsPerType = 4096;
// Cards per run of the card loop.
constexpr std::size_t kLoopCards = 20000;

// Takes every byte and keeps none; counts the hand-overs.
class DiscardDevice final : public cardlift::ByteDevice {
 public:
  bool writeAll(std::string_view bytes) override {
    benchmark::DoNotOptimize(bytes.data());
    ++writes;
    return true;
  }
  std::int64_t writes = 0;
};

// Hands every line to the kernel with one write(2) call, as the output
// file gets it, but to /dev/null, so the disk never adds to the time.
class NullFileDevice final : public cardlift::ByteDevice {
 public:
  NullFileDevice() : descriptor_(::open("/dev/null", O_WRONLY | O_CLOEXEC)) {}
  ~NullFileDevice() override {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  NullFileDevice(const NullFileDevice&) = delete;
  NullFileDevice& operator=(const NullFileDevice&) = delete;

  bool writeAll(std::string_view bytes) override {
    return ::write(descriptor_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  bool isOpen() const { return descriptor_ >= 0; }

 private:
  int descriptor_;
};

// Keeps every piece it is given, one after the other.
class KeepingDevice final : public cardlift::ByteDevice {
 public:
  bool writeAll(std::string_view bytes) override {
    pieces.emplace_back(bytes);
    return true;
  }
  std::vector<std::string> pieces;
};

std::vector<CardImage> cardsOfType(char type) {
  CardMaker maker(kSeed + static_cast<unsigned char>(type));
  std::vector<CardImage> cards(kCardsPerType);
  for (CardImage& card : cards) card = maker.make(type);
  return cards;
}

// Time per card and per output line, from the counts of one benchmark.
void reportPerCardAndLine(benchmark::State& state, std::int64_t cards, std::int64_t lines,
                          std::int64_t failures) {
  using benchmark::Counter;
  state.SetItemsProcessed(cards);
  state.counters["per_card"] =
      Counter(static_cast<double>(cards), Counter::kIsRate | Counter::kInvert);
  state.counters["per_line"] =
      Counter(static_cast<double>(lines), Counter::kIsRate | Counter::kInvert);
  state.counters["lines/card"] =
      Counter(cards > 0 ? static_cast<double>(lines) / static_cast<double>(cards) : 0.0);
  // Every generated card is valid: anything here is a converter fault.
  state.counters["failed"] = Counter(static_cast<double>(failures));
}

// convertCard on cards of one type, every call a card asks for.
void convertCards(benchmark::State& state, char type) {
  const std::vector<CardImage> cards = cardsOfType(type);
  DiscardDevice device;
  cardlift::TextSink console(&device);
  cardlift::ConversionContext context(console);
  std::array<char, cardlift::kOutputLineSize> line{};
  std::array<char, cardlift::kMessageSize> message{};
  std::int64_t cardCount = 0;
  std::int64_t lines = 0;
  std::int64_t failures = 0;
  std::size_t next = 0;

  for (auto _ : state) {
    const std::string_view card(cards[next].data(), cards[next].size());
    if (++next == cards.size()) next = 0;
    std::int32_t callAgain = 1;
    do {
      message[0] = '\0';
      const std::int32_t result = cardlift::convertCard(context, card, line, &callAgain, message);
      benchmark::DoNotOptimize(line.data());
      if (result == 0) {
        ++lines;
      } else {
        ++failures;
      }
    } while (callAgain == 1);
    ++cardCount;
  }
  reportPerCardAndLine(state, cardCount, lines, failures);
}

// The usual mix of cards, one per line.
std::string cardFile() {
  std::string input;
  input.reserve(kLoopCards * 81);
  CardMaker maker(kSeed);
  for (std::size_t i = 0; i < kLoopCards; ++i) {
    const CardImage card = maker.next();
    input.append(card.data(), card.size());
    input.push_back('\n');
  }
  return input;
}

// The whole card loop over the usual mix: reading lines, converting,
// writing and flushing each transaction line to `outputDevice`. Returns
// the number of lines written.
std::int64_t runLoop(benchmark::State& state, cardlift::ByteDevice& outputDevice) {
  const std::string input = cardFile();
  DiscardDevice consoleDevice;
  DiscardDevice logDevice;
  cardlift::TextSink console(&consoleDevice);
  cardlift::TextSink output(&outputDevice);
  cardlift::TextSink errorLog(&logDevice);
  cardlift::ConversionContext context(console);
  std::int64_t cards = 0;
  std::int64_t lines = 0;
  std::int64_t errors = 0;

  for (auto _ : state) {
    cardlift::MemorySource source(input);
    const cardlift::RunCounts counts = cardlift::runCardLoop(context, source, output, errorLog);
    cards += counts.cardsRead;
    lines += counts.linesWritten;
    errors += counts.errors;
  }
  reportPerCardAndLine(state, cards, lines, errors);
  return lines;
}

// The loop alone: the output device discards, so no system call is made.
void cardLoop(benchmark::State& state) {
  DiscardDevice output;
  const std::int64_t lines = runLoop(state, output);
  // One hand-over to the device per line, and none besides.
  state.counters["writes/line"] =
      lines > 0 ? static_cast<double>(output.writes) / static_cast<double>(lines) : 0.0;
}

BENCHMARK(cardLoop)->Unit(benchmark::kMillisecond);

// The loop with one real write(2) per line, to /dev/null.
void cardLoopToDevNull(benchmark::State& state) {
  NullFileDevice output;
  if (!output.isOpen()) {
    state.SkipWithError("cannot open /dev/null");
    return;
  }
  runLoop(state, output);
}

BENCHMARK(cardLoopToDevNull)->Unit(benchmark::kMillisecond);

// The floor of cardLoopToDevNull: the same transaction lines, made once
// beforehand, each written to /dev/null with one write(2) call.
void writeLinesToDevNull(benchmark::State& state) {
  const std::string input = cardFile();
  KeepingDevice keeper;
  {
    DiscardDevice discard;
    cardlift::TextSink console(&discard);
    cardlift::TextSink output(&keeper);
    cardlift::TextSink errorLog(&discard);
    cardlift::ConversionContext context(console);
    cardlift::MemorySource source(input);
    cardlift::runCardLoop(context, source, output, errorLog);
  }
  NullFileDevice device;
  if (!device.isOpen()) {
    state.SkipWithError("cannot open /dev/null");
    return;
  }
  std::int64_t cards = 0;
  std::int64_t lines = 0;
  for (auto _ : state) {
    for (const std::string& line : keeper.pieces) device.writeAll(line);
    cards += static_cast<std::int64_t>(kLoopCards);
    lines += static_cast<std::int64_t>(keeper.pieces.size());
  }
  reportPerCardAndLine(state, cards, lines, 0);
}

BENCHMARK(writeLinesToDevNull)->Unit(benchmark::kMillisecond);

// convertCard once per card type of the registry, and once for a card
// that is copied.
void registerConvertCards() {
  for (const cardlift::CardType& row : cardlift::CardTypeRegistry) {
    const std::string name = std::string("convertCards/type") + row.type;
    benchmark::RegisterBenchmark(name.c_str(), convertCards, row.type);
  }
  char copied = '0';
  while (cardlift::findCardType(copied) != nullptr) ++copied;
  benchmark::RegisterBenchmark("convertCards/copied", convertCards, copied);
}

}  // namespace

int main(int argc, char** argv) {
  registerConvertCards();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
