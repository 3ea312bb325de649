// Code-to-text tables: codes in their table, and codes that are not.
#include "fields/code_tables.hpp"

#include <gtest/gtest.h>

#include <string_view>

namespace cardlift {
namespace {

struct CodeCase {
  const CodeTable* table;
  char code;
  std::string_view text;
};

TEST(CodeTablesTest, LookupCodeText) {
  const CodeCase cases[] = {
      {&CompositeTypeTable, '1', "QUARTERLY"},
      {&CompositeTypeTable, '2', "SEASONAL"},
      {&CompositeTypeTable, '3', "MONTHLY"},
      {&CompositeTypeTable, '4', "WEEKLY"},
      {&CompositeTypeTable, '5', "ANNUAL"},
      {&CompositeTypeTable, '0', ""},
      {&CompositeTypeTable, '6', ""},
      {&CompositeTypeTable, ' ', ""},
      {&CompositeTypeTable, '\0', ""},

      {&AuditTypeTable, '1', "AUDIT AND CERT BY RO"},
      {&AuditTypeTable, '2', "AUDIT ONLY BY RO"},
      {&AuditTypeTable, '3', "AUDIT NOT BY RO"},
      {&AuditTypeTable, '0', ""},
      {&AuditTypeTable, '4', ""},
      {&AuditTypeTable, ' ', ""},

      {&StandardTypeTable, 'A', "NBS SRM"},
      {&StandardTypeTable, 'B', "OXEL REFERENCE GAS"},
      {&StandardTypeTable, 'M', "ROOTSMETER (CERTIFIED)"},
      {&StandardTypeTable, 'N', "ROOTSMETER (NOT CERTIFIED)"},
      {&StandardTypeTable, 'W', "REAGENT-GRADE CHEMICAL"},
      {&StandardTypeTable, 'X', "OTHER CHEMICAL STANDARDS"},
      {&StandardTypeTable, 'G', ""},
      {&StandardTypeTable, 'H', ""},
      {&StandardTypeTable, 'O', ""},
      {&StandardTypeTable, 'Q', ""},
      {&StandardTypeTable, 'V', ""},
      {&StandardTypeTable, 'Y', ""},
      {&StandardTypeTable, 'b', ""},
      {&StandardTypeTable, ' ', ""},
      {&StandardTypeTable, '\0', ""},

      {&AuditClassTable, 'A', "ANALYTICAL"},
      {&AuditClassTable, 'F', "FLOW"},
      {&AuditClassTable, 'S', "SPAN"},
      {&AuditClassTable, 'a', ""},
      {&AuditClassTable, 's', ""},
      {&AuditClassTable, 'B', ""},
      {&AuditClassTable, ' ', ""},
  };
  for (const CodeCase& c : cases) {
    EXPECT_EQ(lookupCodeText(*c.table, c.code), c.text) << c.table->codes << " '" << c.code << "'";
  }
}

}  // namespace
}  // namespace cardlift
