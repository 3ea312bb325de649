// Helpers shared by the fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/text_sink.hpp"

namespace cardlift::fuzzing {

// Collects everything written to it.
class StringDevice final : public ByteDevice {
 public:
  bool writeAll(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

// Stops the run with a message when a property does not hold.
inline void require(bool holds, const char* what, std::string_view detail = {}) {
  if (holds) return;
  std::fputs("property violated: ", stderr);
  std::fputs(what, stderr);
  std::fputc('\n', stderr);
  std::fwrite(detail.data(), 1, detail.size(), stderr);
  std::fputc('\n', stderr);
  std::abort();
}

}  // namespace cardlift::fuzzing
