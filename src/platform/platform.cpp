// The parts of the platform layer that every platform shares.
#include "platform/platform.hpp"

#include "platform/name_units.hpp"

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
    case FileFault::Kind::kIsStandardInput:
      return "is the standard input";
    case FileFault::Kind::kIsStandardOutput:
      return "is the standard output";
    case FileFault::Kind::kCannotTellApart:
      return "cannot be told apart from " + std::string(fault.other);
    case FileFault::Kind::kInUse:
      return "is in use by another process";
    case FileFault::Kind::kChanged:
      return "changed while it was read";
    case FileFault::Kind::kDeviceName:
      return "is a device name on Windows";
    case FileFault::Kind::kNotRegular:
      return "is not a regular file";
  }
  return "failed";
}

namespace {

// A file that is no file's twin: nothing opened, or a character device.
bool standsAlone(const FileIdentity& file) {
  return file.kind == FileIdentity::Kind::kNone ||
         file.kind == FileIdentity::Kind::kCharacterDevice;
}

// The same file when numbered: on Windows a file reached through two
// drive letters may show two volume serials, and taking it for two files
// would let the output empty the input, so only the file id counts there.
bool sameNumber(const FileIdentity& a, const FileIdentity& b) {
#ifdef _WIN32
  constexpr bool kVolumesCount = false;
#else
  constexpr bool kVolumesCount = true;
#endif
  return (!kVolumesCount || a.volume == b.volume) && a.high == b.high && a.index == b.index;
}

}  // namespace

Sameness compareFiles(const FileIdentity& a, const FileIdentity& b) {
  if (standsAlone(a) || standsAlone(b)) return Sameness::kDifferent;
  if (a.numbered && b.numbered) return sameNumber(a, b) ? Sameness::kSame : Sameness::kDifferent;
  if (!a.path.empty() && !b.path.empty()) {
    return a.path == b.path ? Sameness::kSame : Sameness::kDifferent;
  }
  // One of them cannot be named: it may be any file of its kind.
  const bool sameKind = a.kind == b.kind || a.kind == FileIdentity::Kind::kOther ||
                        b.kind == FileIdentity::Kind::kOther;
  return sameKind ? Sameness::kCannotTell : Sameness::kDifferent;
}

FileHandle::~FileHandle() { close(); }

void FileHandle::fail(std::uint32_t code) { fault_ = {FileFault::Kind::kSystem, code, {}}; }

void FileHandle::reset() {
  close();
  identity_ = {};
  fault_ = {};
  lockFault_ = {};
  opened_ = {};
}

bool FileHandle::open(const NativeName& name, Access access) {
  reset();
  const std::intptr_t handle = openNative(name, access);
  if (handle == kNoHandle) return false;
  handle_ = handle;
  owned_ = true;
  learnIdentity();
  if (access == Access::kRead) opened_ = state();
  return true;
}

bool FileHandle::close() {
  if (handle_ == kNoHandle) return true;
  const std::uint32_t error = owned_ ? closeNative(handle_) : 0;
  handle_ = kNoHandle;
  if (error == 0) return true;
  fail(error);
  return false;
}

std::ptrdiff_t FileHandle::read(char* into, std::size_t size) {
  if (!isOpen()) return -1;
  return readNative(into, size < kLargestTransfer ? size : kLargestTransfer);
}

void FileHandle::refuse(const FileFault& why) {
  close();
  fault_ = why;
}

bool FileHandle::unchangedSinceOpened(std::uint64_t bytesRead) {
  if (!opened_.regular) return true;
  if (state() == opened_ && bytesRead == opened_.size) return true;
  fault_ = {FileFault::Kind::kChanged, 0, {}};
  return false;
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

bool FileDevice::writeLines(std::string_view bytes) {
  // The usual case: the whole line or lines in one call, so that the file
  // ends on a line end.
  const std::ptrdiff_t count =
      handle_ != nullptr ? handle_->writeOnce(bytes) : file_.writeSome(bytes);
  if (count != static_cast<std::ptrdiff_t>(bytes.size())) return writeRestOfLines(bytes, count);
  written_ += bytes.size();
  lastLineEnd_ = written_;
  return true;
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
  if (ending_ == Ending::kWholeLines && written_ != lastLineEnd_) {
    cutBackFault_ = file_.truncateTo(lastLineEnd_);
  }
}

}  // namespace cardlift
