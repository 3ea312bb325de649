// Card type 7: placeholder until its converter lands.
#include "cards/card_converters.hpp"

namespace cardlift {

std::int32_t convertType7Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* callAgain) {
  OutputRecord& record = context.record;
  record.begin(line);
  record.appendField(std::string_view(card.at(2), 79));
  record.padFieldsTo(0);
  if (callAgain != nullptr) *callAgain = 0;
  return 0;
}

}  // namespace cardlift
