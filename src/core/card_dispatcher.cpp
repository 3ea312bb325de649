// Picks the converter for a card and completes its transaction line.
#include "core/card_dispatcher.hpp"

#include <algorithm>
#include <array>
#include <cstring>

#include "cards/card_converters.hpp"
#include "core/error_channel.hpp"

namespace cardlift {
namespace {

struct DispatchEntry {
  CardConverter converter;  // null: the card is copied unchanged
  bool setsCallAgain;       // the converter looks after the call-again flag
  std::int32_t failure;     // the converter's own failure result
};

// Card types '1' to '9'; every other first column is copied.
constexpr std::array<DispatchEntry, 9> kDispatchTable{{
    {convertType1Card, true, -1},
    {convertType2Card, false, -2},
    {convertType3Card, false, -3},
    {nullptr, false, 0},
    {nullptr, false, 0},
    {nullptr, false, 0},
    {convertType7Card, false, -6},
    {convertType8Card, true, -4},
    {convertType9Card, false, -5},
}};

// "RD" and "RC" lines always carry their full number of fields: appends
// the '|' that a line of `length` characters holding `separators` lacks.
void completeLine(std::span<char, kOutputLineSize> line, std::size_t length,
                  std::int32_t separators) {
  std::int32_t target = 0;
  if (line[0] == 'R' && line[1] == 'D') {
    target = 27;
  } else if (line[0] == 'R' && line[1] == 'C') {
    target = 26;
  } else {
    return;
  }
  // The record type itself holds no separator.
  if (separators >= target) return;
  const std::size_t missing =
      std::min(static_cast<std::size_t>(target - separators), line.size() - 1 - length);
  std::memset(line.data() + length, '|', missing);
  line[length + missing] = '\0';
}

}  // namespace

std::int32_t convertCard(ConversionContext& context, std::string_view card,
                         std::span<char, kOutputLineSize> line, std::int32_t* callAgain,
                         std::span<char, kMessageSize> message) {
  const signed char type = static_cast<signed char>(card[0]);
  const DispatchEntry* entry = nullptr;
  if (type >= '1' && type <= '9') entry = &kDispatchTable[static_cast<std::size_t>(type - '1')];

  std::int32_t result = 0;
  bool completed = false;
  if (entry != nullptr && entry->converter != nullptr) {
    OutputRecord& record = context.record;
    record.begin(line.data());
    result = entry->converter(context, line.data(), CardColumns(card), callAgain);
    // Every '|' in the line is then one the record counted, unless the card
    // brought one along; only such a card needs its line searched.
    if (card.find('|', 1) == std::string_view::npos) {
      completeLine(line, static_cast<std::size_t>(record.length), record.separatorCount);
      completed = true;
    } else if (result == 0) {
      // A '|' taken over from the card would shift every later field.
      const auto separators = std::count(line.data(), line.data() + std::strlen(line.data()), '|');
      if (separators > record.separatorCount) {
        reportFieldError(context, kErrorFieldSeparator, kMultipleColumns,
                         "Invalid Legacy Transaction, Field Separator in Card");
        result = entry->failure;
      }
    }
  } else {
    const std::size_t length = std::min(card.size(), line.size() - 1);
    std::memcpy(line.data(), card.data(), length);
    line[length] = '\0';
  }
  if (entry == nullptr || !entry->setsCallAgain) *callAgain = 0;

  if (!completed) {
    const std::size_t length = std::strlen(line.data());
    completeLine(line, length,
                 static_cast<std::int32_t>(std::count(line.data(), line.data() + length, '|')));
  }

  if (result != 0) {
    const char* text = context.errorText.data();
    const auto length =
        static_cast<std::size_t>(std::find(text, text + context.errorText.size(), '\0') - text);
    std::memcpy(message.data(), text, length);
    std::fill(message.begin() + static_cast<std::ptrdiff_t>(length), message.end(), '\0');
  }
  return result;
}

}  // namespace cardlift
