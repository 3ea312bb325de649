// The parts of the platform layer that every platform shares.
#include "driver/platform.hpp"

#include "driver/name_units.hpp"

namespace cardlift {

ProgramArgument argumentFromText(const std::string& text) {
  return {text, utf16Length(text), NativeName(text.begin(), text.end())};
}

std::string describeFault(const FileFault& fault) {
  switch (fault.kind) {
    case FileFault::Kind::kNone:
      break;
    case FileFault::Kind::kSystem:
      return describeSystemError(fault.code);
    case FileFault::Kind::kIsInput:
      return "is the input file";
    case FileFault::Kind::kIsOutput:
      return "is the output file";
    case FileFault::Kind::kIsStandardOutput:
      return "is the standard output";
    case FileFault::Kind::kInUse:
      return "is in use by another process";
  }
  return "failed";
}

void FileHandle::reset() {
  close();
  identity_ = {};
  fault_ = {};
}

void FileHandle::adopt(std::intptr_t handle) {
  handle_ = handle;
  owned_ = true;
  learnIdentity();
}

bool FileDevice::writeAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::ptrdiff_t count = file_.writeSome(bytes);
    if (count <= 0) {
      cutBackToLastLine();
      return false;
    }
    noteWritten(bytes.substr(0, static_cast<std::size_t>(count)));
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

bool FileDevice::writeLinesToFile(std::string_view bytes) {
  return lineWriteDone(bytes, file_.writeSome(bytes));
}

bool FileDevice::writeRestOfLines(std::string_view bytes, std::ptrdiff_t count) {
  if (count > 0) {
    noteWritten(bytes.substr(0, static_cast<std::size_t>(count)));
    return writeAll(bytes.substr(static_cast<std::size_t>(count)));
  }
  // Nothing went out: writeSome tries again, waits or learns why.
  if (handle_ != nullptr) return writeAll(bytes);
  cutBackToLastLine();
  return false;
}

void FileDevice::noteWritten(std::string_view done) {
  const std::size_t end = done.rfind('\n');
  if (end != std::string_view::npos) lastLineEnd_ = written_ + end + 1;
  written_ += done.size();
}

void FileDevice::cutBackToLastLine() {
  // Whatever part of a line went out is taken back.
  if (wholeLines_ && written_ != lastLineEnd_) file_.truncateTo(lastLineEnd_);
}

}  // namespace cardlift
