// Fuzz target: implied-decimal formatting against an arithmetic check.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fields/implied_decimal.hpp"
#include "fuzz_support.hpp"

using cardlift::fuzzing::require;

namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

// Whether the field, with leading blanks as zeros, is an optionally signed
// run of digits: worked out independently of the code under test.
bool expectNumber(const std::string& field) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  if (i > 0) return std::all_of(field.begin() + static_cast<std::ptrdiff_t>(i), field.end(), digit);
  if (field[0] == '+' || field[0] == '-') {
    return std::all_of(field.begin() + 1, field.end(), digit);
  }
  return std::all_of(field.begin(), field.end(), digit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int length = 4 + (data[0] & 1);
  const int decimals = (data[0] >> 1) % 6;
  std::string field(static_cast<std::size_t>(length), ' ');
  for (std::size_t i = 0; i < field.size() && i + 1 < size; ++i) {
    field[i] = static_cast<char>(data[i + 1]);
  }
  const std::string original = field;
  std::string rewritten = original;
  for (std::size_t i = 0; i < rewritten.size() && rewritten[i] == ' '; ++i) rewritten[i] = '0';

  cardlift::DecimalText out;
  out.fill('#');
  const std::int32_t result = cardlift::formatImpliedDecimal(field.data(), length, decimals, out);
  require(field == rewritten, "leading blanks become zeros in place, nothing else changes", field);
  const bool number = expectNumber(original);
  require((result == 0) == number, "result tells numbers from the rest", original);
  if (!number) {
    require(result == cardlift::kNotANumber, "a failure is -13");
    require(out[0] == '#', "a failure leaves the text alone");
    return 0;
  }

  // The text is the field's number over 10^decimals: the same sign, the
  // same digits after dropping leading zeros, exactly `decimals` digits
  // after the one point, and no zero in front of a leading point.
  const std::string text(out.data());
  const std::size_t point = text.find('.');
  require(point != std::string::npos && text.find('.', point + 1) == std::string::npos,
          "exactly one point", text);
  require(text.size() - point - 1 == static_cast<std::size_t>(decimals),
          "decimals digits after the point", text);
  const bool signedField = rewritten[0] == '+' || rewritten[0] == '-';
  std::string textDigits;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == 0 && signedField) {
      require(text[0] == rewritten[0], "the sign comes first", text);
      continue;
    }
    if (text[i] == '.') continue;
    require(digit(text[i]), "only digits besides sign and point", text);
    textDigits += text[i];
  }
  const std::string fieldDigits = rewritten.substr(signedField ? 1 : 0);
  const auto significant = [](const std::string& s) {
    const std::size_t first = s.find_first_not_of('0');
    return first == std::string::npos ? std::string() : s.substr(first);
  };
  require(significant(textDigits) == significant(fieldDigits), "the same number", text);
  // Digits are never dropped: the text keeps every character of the field.
  require(textDigits.size() >= fieldDigits.size(), "no digit is dropped", text);
  return 0;
}
