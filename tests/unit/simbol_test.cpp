// The committed pictures of Simbol/: every name the placers, the caret, the hint panel and
// the on-screen keyboard load must be there as a whole GIF whose header gives its size.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/gif.h"

namespace kel {
namespace {

struct Pic {
  const char* name;
  const char* small = "";  // the variant placed in an index; "" when there is none
  int width = 0;           // a size the program relies on; 0 when the drawing is free
  int height = 0;
};

const Pic kPictures[] = {
    {"plus", "plusm", 20, 20},
    {"minus", "minusm"},
    {"po", "pom"},
    {"del", "delm"},
    {"oskoba", "oskobam"},
    {"zskoba", "zskobam"},
    {"goskoba", "goskobam"},
    {"gzskoba", "gzskobam"},
    {"boskoba", "boskobam"},
    {"bzskoba", "bzskobam"},
    {"32", "32m"},
    {"35", "", 30, 3},
    {"plusminus", "plusminusm"},
    {"pomalkoravno", "pomalkoravnom"},
    {"pogolyamoravno", "pogolyamoravnom"},
    {"koren", "korenm"},
    {"strelka", "strelkam"},
    {"strelka2", "strelka2m"},
    {"prinadleji", "prinadlejim"},
    {"pi", "pim"},
    {"hskoba"},
    {"1011"},
    {"1015"},
    {"1016"},
    {"2015"},
    {"1017", "101701"},
    {"1018", "101801"},
    {"1019", "101901"},
    {"1020", "102001"},
    {"1021", "102101"},
    {"1022", "102201"},
    {"1026", "102601"},
    {"1027", "102701"},
    {"1028", "102801"},
    {"1029", "102901"},
    {"1030", "103001"},
    {"1031", "103101"},
    {"1032", "103201"},
    {"1033", "103301"},
    {"1034", "103401"},
    {"1035", "103501"},
    {"1036", "103601"},
    {"1037", "103701"},
    {"1038", "103801"},
    {"1039", "103901"},
    {"1040", "104001"},
    {"1041", "104101"},
    {"1042", "104201"},
    {"1043", "104301"},
    {"1044", "104401"},
    {"1045", "104501"},
    {"1046", "104601"},
    {"1047", "104701"},
    {"1048", "104801"},
    {"1049", "104901"},
    {"1050", "105001"},
    {"1051", "105101"},
    // The open and the closed fraction bar.
    {"bar0", "", 30, 3},
    {"bar1", "", 30, 3},
    // The caret: normal, upper index, lower index.
    {"caret0", "", 4, 24},
    {"caret1", "", 2, 17},
    {"caret2", "", 2, 24},
    {"kursor"},
    // The hint panel's keys.
    {"keyesc"},
    {"keyf12", "", 33, 32},
    {"keyf12low", "", 33, 32},
    {"keyinsert", "", 46, 32},
    {"keypagedown", "", 46, 32},
    {"keyhome", "", 46, 32},
    {"keypageup", "", 46, 32},
    // The on-screen keyboard's picture keys, each inside its key's bevel.
    {"okesc", "", 27, 19},
    {"okf12", "", 27, 19},
    {"okinsert", "", 40, 26},
    {"okpagedown", "", 40, 26},
    {"okhome", "", 40, 26},
    {"okright", "", 19, 19},
    {"okleft", "", 19, 19},
    {"okup", "", 19, 19},
    {"okdown", "", 19, 19},
    {"okundo", "", 43, 19},
    {"okredo", "", 43, 19},
    // The move buttons' arrows and the toolbar's pictures.
    {"mvleft"},
    {"mvright"},
    {"mvup"},
    {"mvdown"},
    {"tbundo"},
    {"tbredo"},
    {"tbopen"},
    {"tbsave"},
};

// The size of Simbol/<name>.gif, or nothing when it is missing or not a whole GIF.
std::optional<PictureSize> pictureSize(const std::string& name) {
  std::ifstream in(std::string(KEL_SOURCE_DIR) + "/Simbol/" + name + ".gif", std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (bytes.empty() || bytes.back() != ';') return std::nullopt;  // the GIF trailer
  return gifSize(bytes);
}

TEST(Simbol, EveryPictureIsAGifOfItsSize) {
  for (const Pic& pic : kPictures) {
    const auto size = pictureSize(pic.name);
    ASSERT_TRUE(size.has_value()) << pic.name;
    if (pic.width != 0) {
      EXPECT_EQ(size->width, pic.width) << pic.name;
      EXPECT_EQ(size->height, pic.height) << pic.name;
    }
  }
}

TEST(Simbol, SmallVariantsAreSmallerBothWays) {
  for (const Pic& pic : kPictures) {
    if (*pic.small == '\0') continue;
    const auto full = pictureSize(pic.name);
    const auto small = pictureSize(pic.small);
    ASSERT_TRUE(full.has_value()) << pic.name;
    ASSERT_TRUE(small.has_value()) << pic.small;
    EXPECT_LT(small->width, full->width) << pic.small;
    EXPECT_LT(small->height, full->height) << pic.small;
  }
}

}  // namespace
}  // namespace kel
