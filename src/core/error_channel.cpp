// Reporting of rejected fields: one error line per field.
#include "core/error_channel.hpp"

#include <algorithm>

#include "core/message_format.hpp"

namespace cardlift {

void reportFieldError(ConversionContext& context, std::int32_t code, std::string_view column,
                      std::string_view message) {
  // Built aside first: the message may point into errorText.
  std::array<char, kMessageSize> line;
  const std::string_view text = formatMessage(line, "ERROR->[", static_cast<int>(code),
                                              "] Column->[", column, "] Msg->[", message, "]\n");
  std::copy_n(text.data(), text.size(), context.errorText.data());
  context.errorText[text.size()] = '\0';
  context.console.write(text);
}

}  // namespace cardlift
