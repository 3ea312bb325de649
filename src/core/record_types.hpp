// The record types of the transaction lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cardlift {

// Every record type is two letters, field 1 of its lines.
inline constexpr std::size_t kRecordTypeLength = 2;

// One kind of transaction line: its two letters, the '|' every line of it
// holds, and whether a copied card that begins with the two letters is
// completed to that many.
struct RecordType {
  std::string_view letters;
  std::int32_t separators;
  bool completedOnCopy;
};

inline constexpr auto RecordTypes = std::to_array<RecordType>({
    {"RD", 27, true},   // raw data
    {"RC", 26, true},   // composite value
    {"RP", 17, false},  // precision check
    {"RA", 31, false},  // accuracy audit
});

inline constexpr const RecordType& kRawData = RecordTypes[0];
inline constexpr const RecordType& kComposite = RecordTypes[1];
inline constexpr const RecordType& kPrecision = RecordTypes[2];
inline constexpr const RecordType& kAccuracyAudit = RecordTypes[3];

// The record type whose letters a line begins with, or null.
constexpr const RecordType* recordTypeOf(std::string_view line) {
  if (line.size() < kRecordTypeLength) return nullptr;
  for (const RecordType& row : RecordTypes) {
    if (line[0] == row.letters[0] && line[1] == row.letters[1]) return &row;
  }
  return nullptr;
}

}  // namespace cardlift
