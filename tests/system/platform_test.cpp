// The platform layer on the system it was built for: locks between runs,
// which names lead to the same file, and what is done where that cannot
// be told.
#include "platform/platform.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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
  ASSERT_TRUE(reader.open(nativeName(path), Access::kRead));
  ASSERT_TRUE(reader.lock(Access::kRead));
  FileHandle writer;
  const bool opened = writer.open(nativeName(path), Access::kWrite);
  EXPECT_FALSE(opened && writer.lock(Access::kWrite));
  EXPECT_EQ(writer.fault().kind, FileFault::Kind::kInUse);
  // Not the same run's file: this one learned its identity all the same.
  EXPECT_EQ(compareFiles(reader.identity(), writer.identity()), Sameness::kSame);
  reader.close();
  FileHandle second;
  EXPECT_TRUE(second.open(nativeName(path), Access::kRead) && second.lock(Access::kRead));
  second.close();
  fs::remove(path);
}

TEST(PlatformTest, FilesOfUnknownNumberCannotBeToldFromFilesOfTheirKind) {
  using Kind = FileIdentity::Kind;
  const auto numbered = [](Kind kind, std::uint64_t volume, std::uint64_t index) {
    FileIdentity identity;
    identity.kind = kind;
    identity.numbered = true;
    identity.volume = volume;
    identity.index = index;
    return identity;
  };
  const auto unnumbered = [](Kind kind, const char* path = "") {
    FileIdentity identity;
    identity.kind = kind;
    identity.path = NativeName(path, path + std::char_traits<char>::length(path));
    return identity;
  };
#ifdef _WIN32
  // A file reached through two drive letters may show two volume serials.
  const Sameness twoVolumes = Sameness::kSame;
#else
  const Sameness twoVolumes = Sameness::kDifferent;
#endif
  struct Case {
    const char* what;
    FileIdentity a, b;
    Sameness expected;
  };
  const Case cases[] = {
      {"one number", numbered(Kind::kDisk, 1, 42), numbered(Kind::kDisk, 1, 42), Sameness::kSame},
      {"two numbers", numbered(Kind::kDisk, 1, 42), numbered(Kind::kDisk, 1, 43),
       Sameness::kDifferent},
      {"two volumes", numbered(Kind::kDisk, 1, 42), numbered(Kind::kDisk, 2, 42), twoVolumes},
      {"one disk", numbered(Kind::kBlockDevice, 0, 0x0700), numbered(Kind::kBlockDevice, 0, 0x0700),
       Sameness::kSame},
      {"terminals", numbered(Kind::kCharacterDevice, 1, 5), numbered(Kind::kCharacterDevice, 1, 5),
       Sameness::kDifferent},
      {"unknown disk file", unnumbered(Kind::kDisk), numbered(Kind::kDisk, 1, 42),
       Sameness::kCannotTell},
      {"unknown pipe", unnumbered(Kind::kPipe), numbered(Kind::kPipe, 1, 42),
       Sameness::kCannotTell},
      {"unknown pipe, disk file", unnumbered(Kind::kPipe), numbered(Kind::kDisk, 1, 42),
       Sameness::kDifferent},
      {"unknown kind", unnumbered(Kind::kOther), numbered(Kind::kPipe, 1, 42),
       Sameness::kCannotTell},
      {"unknown disk file, console", unnumbered(Kind::kDisk), unnumbered(Kind::kCharacterDevice),
       Sameness::kDifferent},
      {"nothing opened", unnumbered(Kind::kDisk), FileIdentity{}, Sameness::kDifferent},
      {"one path", unnumbered(Kind::kDisk, "Z:\\a"), unnumbered(Kind::kDisk, "Z:\\a"),
       Sameness::kSame},
      {"two paths", unnumbered(Kind::kDisk, "Z:\\a"), unnumbered(Kind::kDisk, "Z:\\b"),
       Sameness::kDifferent},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(compareFiles(c.a, c.b), c.expected) << c.what;
    EXPECT_EQ(compareFiles(c.b, c.a), c.expected) << c.what;
  }
}

TEST(PlatformTest, OneFileThroughTwoDriveLettersIsOneFile) {
#ifdef _WIN32
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
  ASSERT_TRUE(viaC.open(nativeName(onC), Access::kRead));
  viaZ.open(NativeName(unixPath.begin(), unixPath.end()), Access::kWrite);
  EXPECT_EQ(compareFiles(viaC.identity(), viaZ.identity()), Sameness::kSame);
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
  ASSERT_TRUE(first.open(device, Access::kWrite) && first.lock(Access::kWrite));
  ASSERT_TRUE(second.open(device, Access::kWrite) && second.lock(Access::kWrite));
  EXPECT_EQ(first.identity().kind, FileIdentity::Kind::kCharacterDevice);
  EXPECT_EQ(compareFiles(first.identity(), second.identity()), Sameness::kDifferent);
}

TEST(PlatformTest, NamesThatWindowsTakesForDevicesAreRefusedThere) {
  FileHandle file;
  const bool opened = file.open(nativeName(fs::temp_directory_path() / "nul.txt"), Access::kWrite);
#ifdef _WIN32
  EXPECT_FALSE(opened);
  EXPECT_EQ(file.fault().kind, FileFault::Kind::kDeviceName);
  FileHandle null;
  EXPECT_TRUE(null.open(L"NUL", Access::kWrite));
#else
  EXPECT_TRUE(opened);
  file.close();
  fs::remove(fs::temp_directory_path() / "nul.txt");
#endif
}

}  // namespace
}  // namespace cardlift
