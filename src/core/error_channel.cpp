// Reporting of rejected fields: one error line per field.
#include "core/error_channel.hpp"

#include <algorithm>

#include "core/message_format.hpp"

namespace cardlift {
namespace {

// The message pieces after the kind's lead: none, or a detail and ".".
template <typename... Detail>
void report(ConversionContext& context, const ErrorKind& kind, const Detail&... detail) {
  // Built aside first: a detail may point into errorText.
  std::array<char, kMessageSize> line;
  const std::string_view text =
      formatMessage(line, "ERROR->[", static_cast<int>(kind.number), "] Column->[", kind.column,
                    "] Msg->[", kind.lead, detail..., "]\n");
  std::copy_n(text.data(), text.size(), context.errorText.data());
  context.errorText[text.size()] = '\0';
  context.console.write(text);
}

}  // namespace

void reportFieldError(ConversionContext& context, const ErrorKind& kind) { report(context, kind); }

void reportFieldError(ConversionContext& context, const ErrorKind& kind, std::string_view detail) {
  report(context, kind, detail, '.');
}

void reportFieldError(ConversionContext& context, const ErrorKind& kind, char detail) {
  report(context, kind, detail, '.');
}

void reportFieldError(ConversionContext& context, const ErrorKind& kind, int detail) {
  report(context, kind, detail, '.');
}

}  // namespace cardlift
