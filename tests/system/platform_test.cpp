// The platform layer on the system it was built for: locks between runs,
// and which names lead to the same file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "driver/platform.hpp"

namespace cardlift {
namespace {

namespace fs = std::filesystem;

NativeName nativeName(const fs::path& path) {
#ifdef _WIN32
  return path.wstring();
#else
  return path.string();
#endif
}

TEST(PlatformTest, AFileHeldForARunIsInUseForAnother) {
  const fs::path path = fs::temp_directory_path() / "cardlift-platform-lock.txt";
  std::ofstream(path) << "held\n";
  FileHandle reader;
  ASSERT_TRUE(reader.openForReading(nativeName(path)));
  ASSERT_TRUE(reader.lock(false));
  FileHandle writer;
  const bool opened = writer.openForWriting(nativeName(path));
  EXPECT_FALSE(opened && writer.lock(true));
  EXPECT_EQ(writer.fault().kind, FileFault::Kind::kInUse);
  // Not the same run's file: this one learned its identity all the same.
  EXPECT_TRUE(isSameFile(reader.identity(), writer.identity()));
  reader.close();
  FileHandle second;
  EXPECT_TRUE(second.openForReading(nativeName(path)) && second.lock(false));
  second.close();
  fs::remove(path);
}

TEST(PlatformTest, OneFileThroughTwoDriveLettersIsOneFile) {
#ifdef _WIN32
  // Wine may or may not give the two drives two serials: the rule itself
  // first, then a real file.
  EXPECT_TRUE(isSameFile({true, false, 1, 42}, {true, false, 2, 42}));
  EXPECT_FALSE(isSameFile({true, false, 1, 42}, {true, false, 1, 43}));
  // Under wine, C: is a folder of the prefix, which Z: (the whole Unix
  // tree) reaches as well, with another volume serial.
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr || prefix[0] != '/') GTEST_SKIP() << "needs wine's C: and Z: drives";
  const fs::path onC = L"C:\\cardlift-platform-drives.txt";
  std::string unixPath = std::string("Z:") + prefix + "/drive_c/cardlift-platform-drives.txt";
  for (char& c : unixPath) c = c == '/' ? '\\' : c;
  std::ofstream(onC) << "one file\n";
  FileHandle viaC;
  FileHandle viaZ;
  ASSERT_TRUE(viaC.openForReading(nativeName(onC)));
  viaZ.openForWriting(NativeName(unixPath.begin(), unixPath.end()));
  EXPECT_TRUE(isSameFile(viaC.identity(), viaZ.identity()));
  viaC.close();
  viaZ.close();
  fs::remove(onC);
#else
  GTEST_SKIP() << "drive letters are a Windows matter";
#endif
}

TEST(PlatformTest, OnlyCharacterDevicesMayBeNamedTwice) {
#ifdef _WIN32
  const NativeName device = L"NUL";
#else
  const NativeName device = "/dev/null";
#endif
  FileHandle first;
  FileHandle second;
  ASSERT_TRUE(first.openForWriting(device) && first.lock(true));
  ASSERT_TRUE(second.openForWriting(device) && second.lock(true));
  EXPECT_TRUE(first.identity().characterDevice);
  EXPECT_FALSE(isSameFile(first.identity(), second.identity()));
}

}  // namespace
}  // namespace cardlift
