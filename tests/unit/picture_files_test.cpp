// Picture files are untrusted: the program reads them without blocking and refuses
// anything that is no whole, plausibly sized GIF before it is decoded.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "permissions_fixture.h"
#include "placement_fixture.h"
#include "platform/files.h"
#include "platform/gif.h"
#include "sim_program.h"

namespace kel::test {
namespace {

std::string u16(unsigned v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

// A GIF with a logical screen and one frame of the given sizes; its frame data is two
// bytes long.
std::string gif(unsigned screenW, unsigned screenH, unsigned frameW, unsigned frameH,
                unsigned frameLeft = 0) {
  return "GIF89a" + u16(screenW) + u16(screenH) + std::string("\x80\0\0", 3) +
         std::string(6, '\0') +                      // two-colour global table
         std::string("\x21\xf9\x04\0\0\0\0\0", 8) +  // a graphic control extension
         "\x2c" + u16(frameLeft) + u16(0) + u16(frameW) + u16(frameH) + std::string(1, '\0') +
         std::string("\x02\x02\x44\x01\0;", 6);
}

std::string committed(const std::string& name) {
  std::ifstream in(std::string(KEL_SOURCE_DIR) + "/Simbol/" + name + ".gif", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(GifSize, PlausiblePicturesGiveTheirScreenSize) {
  struct Case {
    std::string name, bytes;
    int width, height;
  } cases[] = {
      {"small", gif(20, 17, 20, 17), 20, 17},
      {"largest allowed", gif(1024, 1024, 1024, 1024), 1024, 1024},
      {"frame within the bound", gif(30, 3, 24, 3, 1000), 30, 3},
      {"committed plus", committed("plus"), 20, 20},
      {"committed key", committed("keyhome"), 46, 32},
      {"fixture", gifBytes(40, 8), 40, 8},
  };
  for (const Case& c : cases) {
    const std::optional<PictureSize> s = gifSize(c.bytes);
    ASSERT_TRUE(s) << c.name;
    EXPECT_EQ(s->width, c.width) << c.name;
    EXPECT_EQ(s->height, c.height) << c.name;
  }
}

TEST(GifSize, OversizedOrMalformedPicturesAreRefused) {
  std::string noFrame = gif(20, 20, 20, 20);
  noFrame.erase(27);  // the header, the table and the extension; then the trailer
  noFrame += ";";
  std::string unknownBlock = gif(20, 20, 20, 20);
  unknownBlock.insert(27, "\x7f");
  std::string wideCodes = gif(20, 20, 20, 20);
  wideCodes[37] = 12;  // LZW codes wider than 12 bits
  // 35 bytes that declare a 5000 x 5000 frame.
  std::string bomb = "GIF89a" + u16(5000) + u16(5000) + std::string("\x80\0\0", 3) +
                     std::string(6, '\0') + "\x2c" + u16(0) + u16(0) + u16(5000) + u16(5000) +
                     std::string("\0\x02\x02\x44\x01\0;", 7);
  ASSERT_EQ(bomb.size(), 35u);
  struct Case {
    std::string name, bytes;
  } cases[] = {
      {"empty", ""},
      {"not a GIF", "PNG\r\n\x1a\n and more bytes"},
      {"empty screen", gif(0, 20, 0, 20)},
      {"screen too wide", gif(1025, 1, 1, 1)},
      {"screen too high", gif(1, 1025, 1, 1)},
      {"frame too large", gif(20, 20, 5000, 5000)},
      {"frame reaching past the bound", gif(20, 20, 20, 20, 1010)},
      {"a frame bomb", bomb},
      {"no frame", noFrame},
      {"unknown block", unknownBlock},
      {"wide codes", wideCodes},
  };
  for (const Case& c : cases) EXPECT_FALSE(gifSize(c.bytes)) << c.name;
}

TEST(GifSize, APictureCutShortAnywhereIsRefused) {
  for (const char* name : {"plus", "keyhome", "caret0"}) {
    const std::string whole = committed(name);
    ASSERT_TRUE(gifSize(whole)) << name;
    for (size_t n = 0; n < whole.size(); ++n)
      EXPECT_FALSE(gifSize(std::string_view(whole).substr(0, n))) << name << " cut at " << n;
  }
}

// A test that would hang on a blocking open ends instead.
class Watchdog {
 public:
  Watchdog() { ::alarm(20); }
  ~Watchdog() { ::alarm(0); }
};

TEST(ReadRegularFile, OnlyRegularFilesAreOpenedAndNothingBlocks) {
  Watchdog dog;
  TempFolder folder;
  folder.write("small", "12345");
  folder.write("limit", std::string(64, 'x'));
  folder.write("over", std::string(65, 'x'));
  ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0644), 0);
  std::filesystem::create_directory(folder.file("folder"));
  std::filesystem::create_symlink(folder.file("small"), folder.file("link"));
  std::filesystem::create_symlink(folder.file("fifo"), folder.file("link to fifo"));
  struct Case {
    std::string path;
    ReadOutcome outcome;
    std::string content;
  } cases[] = {
      {folder.file("small"), ReadOutcome::Read, "12345"},
      {folder.file("limit"), ReadOutcome::Read, std::string(64, 'x')},
      {folder.file("link"), ReadOutcome::Read, "12345"},
      {folder.file("over"), ReadOutcome::Refused, ""},
      {folder.file("fifo"), ReadOutcome::Refused, ""},
      {folder.file("link to fifo"), ReadOutcome::Refused, ""},
      {folder.file("folder"), ReadOutcome::Refused, ""},
      {"/dev/zero", ReadOutcome::Refused, ""},
      {folder.file("missing"), ReadOutcome::Missing, ""},
      {folder.file("small/below"), ReadOutcome::Missing, ""},
  };
  for (const Case& c : cases) {
    const FileRead r = readRegularFile(c.path, 64);
    EXPECT_EQ(r.outcome, c.outcome) << c.path;
    EXPECT_EQ(r.content, c.content) << c.path;
  }
}

TEST(ReadRegularFile, AFileWithoutReadPermissionIsUnreadableNotMissing) {
  TempFolder folder;
  folder.write("secret", "12345");
  ObeyFilePermissions obey;
  std::filesystem::permissions(folder.file("secret"), std::filesystem::perms(0200));
  const FileRead r = readRegularFile(folder.file("secret"), 64);
  EXPECT_EQ(r.outcome, ReadOutcome::Unreadable);
  EXPECT_EQ(r.content, "");
}

// A FIFO and a picture bomb where the start-up reads the caret and the hint keys: the
// window still shows, with every other picture in place.
TEST(StartUpPictures, AFifoAndAnOversizedPictureInSimbolAreSkipped) {
  Watchdog dog;
  SimProgram s;
  const std::string simbol = s.folder.file("Simbol");
  std::filesystem::copy(std::string(KEL_SOURCE_DIR) + "/Simbol", simbol);
  std::filesystem::remove(simbol + "/caret0.gif");
  ASSERT_EQ(::mkfifo((simbol + "/caret0.gif").c_str(), 0644), 0);
  s.folder.write("Simbol/keyf12.gif", gif(5000, 5000, 5000, 5000));
  s.p().start();
  ASSERT_FALSE(s.desk().shownForms().empty());
  EXPECT_EQ(s.desk().shownForms().front(), &s.w());
  const Picture caret0 = s.w().Picture00.Picture, keyf12 = s.w().Image13.Picture;
  const Picture caret1 = s.w().Picture3.Picture, keyinsert = s.w().Image14.Picture;
  EXPECT_TRUE(caret0.empty());
  EXPECT_TRUE(keyf12.empty());
  EXPECT_EQ(caret1.WidthPx, 2);
  EXPECT_EQ(keyinsert.WidthPx, 46);
}

}  // namespace
}  // namespace kel::test
