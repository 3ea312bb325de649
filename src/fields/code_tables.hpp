// One-character codes that transaction lines carry as texts.
#pragma once

#include <cstdint>
#include <string_view>

namespace cardlift {

// A table of code characters and their texts. codes[0..count-1] are the
// codes in table order (the rest NUL); texts[i] is the text of codes[i],
// and texts[count] is the empty text given for a code not in the table.
struct CodeTable {
  std::int32_t count;
  char codes[100];
  std::string_view texts[99];
};

// Card type 3, column 30.
inline constexpr CodeTable CompositeTypeTable{
    5, "12345", {"QUARTERLY", "SEASONAL", "MONTHLY", "WEEKLY", "ANNUAL", ""}};

// Card types 9 and 7: the kind of audit.
inline constexpr CodeTable AuditTypeTable{
    3, "123", {"AUDIT AND CERT BY RO", "AUDIT ONLY BY RO", "AUDIT NOT BY RO", ""}};

// Card types 9 and 7: the kind of standard used. G, H, O, Q and V are not
// codes.
inline constexpr CodeTable StandardTypeTable{19,
                                             "ABCDEFIJKLMNPRSTUWX",
                                             {"NBS SRM",
                                              "OXEL REFERENCE GAS",
                                              "COMMERCIAL CRM",
                                              "PHOTOMETER (UNVERIFIED)",
                                              "OTHER GAS STANDARDS",
                                              "PHOTOMETER (VERIFIED)",
                                              "BIOS 20K",
                                              "BIOS 40K",
                                              "CHINOOK FTS",
                                              "LAMINAR FLOW ELEMENT",
                                              "ROOTSMETER (CERTIFIED)",
                                              "ROOTSMETER (NOT CERTIFIED)",
                                              "CERTIFIED ORIFICE DEVICE",
                                              "WET TEST METER",
                                              "DRY TEST METER",
                                              "BUBBLE FLOW METER",
                                              "OTHER FLOW STANDARDS",
                                              "REAGENT-GRADE CHEMICAL",
                                              "OTHER CHEMICAL STANDARDS",
                                              ""}};

// Card types 9 and 7: the audit class.
inline constexpr CodeTable AuditClassTable{3, "AFS", {"ANALYTICAL", "FLOW", "SPAN", ""}};

// The text of code in table (exact, case-sensitive match of the first
// count codes), or the empty text when the code is not there.
constexpr std::string_view lookupCodeText(const CodeTable& table, char code) {
  for (std::int32_t i = 0; i < table.count; ++i) {
    if (table.codes[i] == code) return table.texts[i];
  }
  return table.texts[table.count];
}

}  // namespace cardlift
