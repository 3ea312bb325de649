// Reporting of rejected fields: one error line per field.
#include "core/error_channel.hpp"

#include <algorithm>

#include "core/message_format.hpp"

namespace cardlift {

void reportFieldError(ConversionContext& context, const ErrorKind& kind, std::string_view detail) {
  // Built aside first: the detail may point into errorText.
  std::array<char, kMessageSize> line;
  const std::string_view message = detail.substr(0, kind.detailWidth);
  const std::string_view stop = kind.detailWidth > 0 ? "." : "";
  const std::string_view text =
      formatMessage(line, "ERROR->[", static_cast<int>(kind.number), "] Column->[", kind.column,
                    "] Msg->[", kind.lead, message, stop, "]\n");
  std::copy_n(text.data(), text.size(), context.errorText.data());
  context.errorText[text.size()] = '\0';
  context.console.write(text);
}

void reportFieldError(ConversionContext& context, const FieldError& error) {
  reportFieldError(
      context, *error.kind,
      std::string_view(error.detail, error.detail == nullptr ? 0 : error.kind->detailWidth));
}

}  // namespace cardlift
