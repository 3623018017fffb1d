// Saving all pages to a page file and loading them back, through the dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pages_fixture.h"

namespace kel::test {
namespace {

constexpr Millis kSaveWalkMs = PageFileDesk::kSaveWalkMs;
constexpr Millis kLoadAllMs = PageFileDesk::kLoadAllMs;

struct Files : PageFileDesk {
  const SimDesktop::MessageBoxCall* lastBox() {
    return desk().messageBoxCalls.empty() ? nullptr : &desk().messageBoxCalls.back();
  }
};

TEST(PageFiles, TheRecordOfATextSymbolByteForByte) {
  Files f;
  f.p().pages.Command72_Click(1);
  const int n = f.text(200, 300, "x");
  Label& x = f.w().Label3[n];
  x.Left = 1200;
  x.Top = 600;
  x.Height = 555;
  f.save(f.path("pages.txt"));
  EXPECT_EQ(f.s.folder.read("pages.txt"), "2|x|1200|877.5|24|False|");
  ASSERT_TRUE(f.lastBox());
  EXPECT_EQ(f.lastBox()->prompt, "Вашето име за запис е: " + f.path("pages.txt"));
  EXPECT_EQ(f.lastBox()->title, "Plavetra");
  EXPECT_EQ(f.lastBox()->buttons, msgbox::OkOnly | msgbox::Information);
  ASSERT_EQ(f.desk().fileDialogCalls.size(), 1u);
  EXPECT_EQ(f.desk().fileDialogCalls[0].kind, FileDialogKind::Save);
  EXPECT_EQ(f.desk().fileDialogCalls[0].filter, "Text Files(*.txt)|*.txt");
  EXPECT_EQ(f.desk().fileDialogCalls[0].folder, "");  // "C:\": the home folder
  EXPECT_FALSE(f.desk().fileDialogCalls[0].confirmOverwrite);
}

TEST(PageFiles, TheWalkTakesThePagesInOrderAndEndsOnThePageItStartedOn) {
  Files f;
  f.text(200, 300, "a");
  f.p().pages.Command72_Click(2);
  f.text(200, 300, "c");
  f.p().pages.Command72_Click(1);
  // While the dialog is up the window is minimised and the capture is off.
  WindowState during = WindowState::Normal;
  bool pollDuring = true;
  f.desk().answerFileDialog = [&](const FileDialogRequest&) {
    during = f.w().State;
    pollDuring = f.w().Timer0.Enabled();
    return std::optional<FileDialogChoice>(FileDialogChoice{f.path("p.txt"), 1});
  };
  f.p().pages.Command15_Click();
  f.advance(kSaveWalkMs);
  EXPECT_EQ(during, WindowState::Minimized);
  EXPECT_FALSE(pollDuring);
  EXPECT_EQ(f.w().State, WindowState::Normal);
  EXPECT_TRUE(f.w().Timer0.Enabled());
  const std::string text = f.s.folder.read("p.txt");
  EXPECT_EQ(text.substr(0, 2), "1|");
  EXPECT_NE(text.find("|3|c|"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '|'), 12);
  EXPECT_EQ(f.w().Text26.Text(), "2");
  EXPECT_EQ(f.p().UndoIndex, 0);

  f.desk().answerFileDialog = nullptr;
  f.clearAll();
  f.save(f.path("empty.txt"));
  EXPECT_TRUE(std::filesystem::exists(f.path("empty.txt")));
  EXPECT_EQ(f.s.folder.read("empty.txt"), "");
}

TEST(PageFiles, APageClickedDuringTheWalkIsTakenInItsTurn) {
  Files f;
  Program& p = f.p();
  for (int k : {0, 2, 8}) {
    p.pages.Command72_Click(k);
    f.text(200, 300, std::string(1, static_cast<char>('a' + k)));
  }
  p.pages.Command72_Click(0);
  const auto before = f.pages();
  f.desk().fileDialogAnswers.push_back(FileDialogChoice{f.path("p.txt"), 1});
  p.pages.Command15_Click();
  f.advance(60);   // page 1 taken, page 2 shown
  f.clickPage(9);  // the user goes to page 9 before the next tick
  f.advance(kSaveWalkMs);
  EXPECT_EQ(f.w().Text26.Text(), "1");  // the walk ends on the page it began on
  const std::string text = f.s.folder.read("p.txt");
  const size_t a = text.find("1|a|"), c = text.find("|3|c|"), i = text.find("|9|i|");
  ASSERT_NE(a, std::string::npos) << text;
  ASSERT_NE(c, std::string::npos) << text;
  ASSERT_NE(i, std::string::npos) << text;
  EXPECT_LT(c, i);
  EXPECT_EQ(std::count(text.begin(), text.end(), '|'), 18) << text;  // each page once

  f.clearAll();
  f.load(f.path("p.txt"));
  EXPECT_EQ(f.pages(), before);
}

TEST(PageFiles, TwelvePagesComeBackAsTheyWereSaved) {
  Files f;
  Program& p = f.p();
  for (int k = 0; k < 12; ++k) {
    p.pages.Command72_Click(k);
    const double y = 200 + 20 * k;
    f.text(150 + k, y, std::to_string(k + 1));
    f.text("ж");
    p.surface.PlaceTextSymbol("|", 12, true);  // a bold index-size caption that is the mark
    f.advance(30);
    f.picture(p.PointerX, y, k % 2 ? "plus" : "strelka");
    if (k == 4) {
      // A fraction typed through the queue: its bar stretched and closed.
      f.insert();
      f.type({rows::kX, rows::kX}, 300);
      f.type({"34", rows::kX}, 400);
      f.type({"36"}, 600);
    }
    if (k == 7) {
      // A pasted arrow: it shows the arrow's picture under the name "simvol".
      const int n = f.picture(p.PointerX, y, "strelka2");
      p.SymbolKind[static_cast<size_t>(n)] = "simvol";
    }
  }
  p.pages.Command72_Click(0);
  const auto before = f.pages();
  ASSERT_EQ(before[4].size(), 8u);
  ASSERT_EQ(before[4][4].what, "[35]");

  f.save(f.path("all.txt"));
  f.clearAll();
  f.load(f.path("all.txt"));
  EXPECT_EQ(p.PlacingFromFile, 0);
  const auto after = f.pages();
  for (size_t k = 0; k < 12; ++k) {
    SCOPED_TRACE("page " + std::to_string(k + 1));
    ASSERT_EQ(after[k].size(), before[k].size());
    for (size_t i = 0; i < before[k].size(); ++i) {
      Seen want = before[k][i];
      Seen got = after[k][i];
      if (want.what == "[simvol]") want.what = "[strelka2]";  // back under its own picture
      // A bar read from a file shows the bar picture of its name, black as a closed one.
      if (want.what == "[35]") want.picture = got.picture = "";
      EXPECT_EQ(got, want);
    }
  }
}

TEST(PageFiles, AFractionLeftOpenIsNotStretchedByTheSymbolsLoaded) {
  Files f;
  Program& p = f.p();
  f.type({rows::kX}, 200);
  f.insert();  // the bar, open
  f.type({rows::kX}, 200);
  ASSERT_EQ(p.BarOpen, 1);
  const int bar = p.CurrentBar;
  const double width = f.w().Image3[bar].Width;
  const int last = p.BarLastIndex;
  std::string text;
  for (int i = 0; i < 20; ++i) text += "2|a|" + std::to_string(300 + 225 * i) + "|900|24|False|";
  f.s.folder.write("p2.txt", text);
  f.load(f.path("p2.txt"));
  ASSERT_EQ(f.page().size(), 20u);
  EXPECT_EQ(p.BarOpen, 0);  // the fraction is page 1's
  p.pages.Command72_Click(0);
  EXPECT_EQ(f.w().Image3[bar].Width, width);
  EXPECT_EQ(p.BarLastIndex, last);
  EXPECT_EQ(p.BarOpen, 1);  // still open, for the user to go on with on page 1
}

TEST(PageFiles, AClassicFileIsRead) {
  Files f;
  // Windows-1251, "," in numbers, a bar at Top 600 written as Top + Height / 30.
  f.s.folder.write("classic.txt", "1|\xE6|1200|877,5|24|False|1|35.gif|1000|601,5|450||");
  f.load(f.path("classic.txt"));
  const auto page = f.page();
  ASSERT_EQ(page.size(), 2u);
  EXPECT_EQ(page[0].what, "ж");
  EXPECT_EQ(page[0].top, 877.5 - 270);
  EXPECT_EQ(page[1].top, 600);
  EXPECT_EQ(page[1].width, 450);
}

TEST(PageFiles, TheConfirmationNamesThePagesAndCancelChangesNothing) {
  const struct {
    const char* file;
    const char* prompt;
  } cases[] = {
      {"1|a|1|600|24|False|2|b|1|600|24|False|2|c|1|600|24|False|5|d|1|600|24|False|",
       "Файлът ще се зареди на страници 1,2,5 и там всичко ще бъде изтрито!"},
      {"3|a|1|600|24|False|", "Файлът ще се зареди на страница 3 и там всичко ще бъде изтрито!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Files f;
    f.text(200, 300, "x");
    const auto before = f.pages();
    f.s.folder.write("f.txt", c.file);
    f.load(f.path("f.txt"), msgbox::Cancel);
    ASSERT_TRUE(f.lastBox());
    EXPECT_EQ(f.lastBox()->prompt, c.prompt);
    EXPECT_EQ(f.lastBox()->title, "Внимание!");
    EXPECT_EQ(f.lastBox()->buttons, msgbox::OkCancel);
    EXPECT_EQ(f.pages(), before);
    EXPECT_EQ(f.w().State, WindowState::Normal);
  }
}

TEST(PageFiles, AFileThatStartsOnPageThreeLeavesPageOneAndFillsPageThreeASecondLater) {
  Files f;
  f.text(200, 300, "one");
  f.p().pages.Command72_Click(2);
  f.text(200, 300, "old");
  f.p().pages.Command72_Click(1);
  f.s.folder.write("p3.txt", "3|new|1500|1000|24|False|");
  f.desk().fileDialogAnswers.push_back(FileDialogChoice{f.path("p3.txt"), 1});
  f.desk().messageBoxAnswers.push_back(msgbox::Ok);
  f.p().pages.Command16_Click();
  EXPECT_EQ(f.w().Text26.Text(), "1");
  EXPECT_EQ(f.captions(), std::vector<std::string>{"one"});
  f.advance(999);
  EXPECT_EQ(f.w().Text26.Text(), "1");
  f.advance(2);
  EXPECT_EQ(f.w().Text26.Text(), "3");
  EXPECT_EQ(f.captions(), std::vector<std::string>{"new"});
  EXPECT_EQ(f.w().Label3[f.p().SymbolCount].Left, 1500);
}

TEST(PageFiles, ADamagedOrMissingFileChangesNoPageAndSaysSo) {
  const struct {
    const char* why;
    std::string content;  // written as the file, unless `special` says otherwise
    const char* special;
    const char* says;
    const char* reason;  // on a line after the file name; none when the file was not read
  } cases[] = {
      {"page 13", "1|a|1|2|24|False|13|b|1|2|24|False|", nullptr, "Това не е файл",
       "номер на страница извън 1 до 12"},
      {"page 0", "0|a|1|2|24|False|", nullptr, "Това не е файл", "номер на страница извън 1 до 12"},
      {"a number that is none", "1|a|1|x|24|False|", nullptr, "Това не е файл",
       "число, което не е число или е извън границите"},
      {"a number with an exponent", "1|a|1|1e300|24|False|", nullptr, "Това не е файл",
       "число, което не е число или е извън границите"},
      {"far outside any screen", "1|a|1|99999999|24|False|", nullptr, "Това не е файл",
       "число, което не е число или е извън границите"},
      {"pages backwards", "2|a|1|2|24|False|1|b|1|2|24|False|", nullptr, "Това не е файл",
       "страниците не са подредени"},
      {"a font size no font has", "1|a|1|2|0|False|", nullptr, "Това не е файл",
       "число, което не е число или е извън границите"},
      {"fields short of a record", "1|a|1|2|24|False|2|b|1|", nullptr, "Това не е файл",
       "запис, който не е от шест полета"},
      {"cut short", "1|a|1|2|24|False|2|b|1|2", nullptr, "Това не е файл",
       "запис, който не е от шест полета"},
      {"a picture outside Simbol", "1|../../x.gif|1|2|300||", nullptr, "Това не е файл",
       "непознато или опасно име на картинка"},
      {"a picture missing from Simbol", "1|nosuch.gif|1|2|300||", nullptr, "Това не е файл",
       "непознато или опасно име на картинка"},
      {"the text kind as a picture", "1|bukva.gif|1|2|300||", nullptr, "Това не е файл",
       "непознато или опасно име на картинка"},
      {"neither UTF-8 nor Windows-1251", "1|\x98|1|2|24|False|", nullptr, "Това не е файл",
       "не е текст"},
      {"too large", "", "large", "Това не е файл", "по-голям е от 16 MB"},
      {"missing", "", "missing", "Файлът не можа да бъде прочетен", nullptr},
      {"a folder", "", "folder", "Това не е файл", "папка или устройство е, не файл"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Files f;
    f.text(200, 300, "x");
    f.p().pages.Command72_Click(1);
    f.text(200, 300, "y");
    // An earlier file's text is never loaded in place of one that could not be read.
    f.s.folder.write("good.txt", "1|z|1|600|24|False|");
    f.desk().messageBoxAnswers.push_back(msgbox::Cancel);
    f.desk().fileDialogAnswers.push_back(FileDialogChoice{f.path("good.txt"), 1});
    f.p().pages.Command16_Click();
    const auto before = f.pages();
    const size_t boxes = f.desk().messageBoxCalls.size();

    const std::string bad = f.path("bad.txt");
    if (!c.special) f.s.folder.write("bad.txt", c.content);
    const std::string special = c.special ? c.special : "";
    if (special == "large") f.s.folder.write("bad.txt", std::string(kMaxPageFileBytes + 1, '1'));
    if (special == "folder") std::filesystem::create_directory(bad);
    f.desk().messageBoxAnswers.push_back(msgbox::Ok);
    f.desk().fileDialogAnswers.push_back(FileDialogChoice{bad, 1});
    f.p().pages.Command16_Click();
    f.advance(kLoadAllMs);

    EXPECT_EQ(f.pages(), before);
    EXPECT_EQ(f.p().PlacingFromFile, 0);
    EXPECT_EQ(f.w().State, WindowState::Normal);
    ASSERT_EQ(f.desk().messageBoxCalls.size(), boxes + 1);  // no confirmation: only this
    const auto& box = f.desk().messageBoxCalls.back();
    EXPECT_EQ(box.prompt.rfind(c.says, 0), 0u) << box.prompt;
    EXPECT_NE(box.prompt.find(bad), std::string::npos) << box.prompt;
    const size_t reasonAt = box.prompt.find(bad) + bad.size();
    EXPECT_EQ(box.prompt.substr(reasonAt),
              c.reason ? std::string("\nПричина: ") + c.reason + "." : std::string())
        << box.prompt;
    EXPECT_EQ(box.buttons, msgbox::OkOnly | msgbox::Exclamation);
  }
}

// A record placed above the page would stand where deleted symbols are kept, and the next
// save would leave it out: such a file is refused whole, before any page changes.
TEST(PageFiles, ARecordThatWouldStandAboveThePageIsRefused) {
  Files f;
  f.text(200, 300, "x");
  const auto before = f.pages();
  f.s.folder.write("above.txt",
                   "1|a|1290|100|24|False|1|b|1290|994|24|False|1|c|2000|200|24|False|");
  f.load(f.path("above.txt"));
  ASSERT_TRUE(f.lastBox());
  EXPECT_EQ(f.lastBox()->prompt,
            "Това не е файл със страници на тази програма: " + f.path("above.txt") +
                "\nПричина: символ над горния край на страницата.");
  EXPECT_EQ(f.pages(), before);
}

// The edge is found as the placers place a record: a caption's middle line on the record's,
// a picture 1.4955 / 3 of its height above it, a bar's Top Height / 30 above it. A record
// on the edge is placed at Top 0 and saved back as it was; half a twip higher is refused.
TEST(PageFiles, TheTopEdgeOfThePageIsWhereThePlacersPutTheSymbol) {
  const auto pictureOf = [](Files& f, const std::string& name) {
    return f.desk().loadPicture(f.s.folder.file("Simbol/" + name + ".gif")).value_or(Picture{});
  };
  const auto captionHeight = [](Files& f, double size, bool bold, const std::string& caption) {
    Font font = f.w().Label3[0].Font;
    font.Size = size;
    font.Bold = bold;
    return f.desk().measureLabel(font, caption).height;
  };
  const struct {
    const char* what;
    std::function<double(Files&)> edge;  // the middle line that puts the Top at 0
    std::function<std::string(Files&, double)> record;
  } cases[] = {
      {"a caption", [&](Files& f) { return captionHeight(f, 24, false, "a") / 2; },
       [](Files&, double m) { return "1|a|1290|" + pageFileNumber(m) + "|24|False|"; }},
      {"a bold caption of 13 pt", [&](Files& f) { return captionHeight(f, 13, true, "Жq") / 2; },
       [](Files&, double m) { return "1|Жq|1290|" + pageFileNumber(m) + "|13|True|"; }},
      {"a picture",
       [&](Files& f) { return pictureOf(f, "plus").HeightPx * kTwipsPerPixel * 1.4955 / 3; },
       [&](Files& f, double m) {
         return "1|plus.gif|1290|" + pageFileNumber(m) + "|" +
                pageFileNumber(pictureOf(f, "plus").WidthPx * kTwipsPerPixel) + "||";
       }},
      {"a fraction bar",
       [&](Files& f) { return pictureOf(f, "35").HeightPx * kTwipsPerPixel / 30; },
       [](Files&, double m) { return "1|35.gif|1290|" + pageFileNumber(m) + "|900||"; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Files f;
    const double edge = c.edge(f);
    ASSERT_GT(edge, 0.5);
    f.s.folder.write("high.txt", c.record(f, edge - 0.5));
    f.load(f.path("high.txt"));
    ASSERT_TRUE(f.lastBox());
    EXPECT_NE(f.lastBox()->prompt.find("символ над горния край на страницата"), std::string::npos)
        << f.lastBox()->prompt;
    EXPECT_EQ(f.p().SymbolCount, 0);

    f.s.folder.write("edge.txt", c.record(f, edge));
    f.load(f.path("edge.txt"));
    const auto page = f.pages()[0];
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].top, 0);
    f.save(f.path("again.txt"));
    EXPECT_EQ(f.s.folder.read("again.txt"), c.record(f, edge));
  }
}

TEST(PageFiles, AFailedSaveSaysSoAndKeepsTheOldFile) {
  Files f;
  f.text(200, 300, "x");
  f.s.folder.write("kept.txt", "1|old|1|2|24|False|");
  std::filesystem::create_directory(f.path("kept.txt.d"));
  f.s.folder.write("locked.txt", "1|old|1|2|24|False|");
  std::filesystem::permissions(f.path("locked.txt"), std::filesystem::perms::owner_read);
  const struct {
    const char* why;
    std::string to;
    const char* reason;  // the box's line after the name
  } cases[] = {
      {"a folder of that name", f.path("kept.txt.d"), "папка или устройство е с това име"},
      {"in a folder that is not there", f.path("none/pages.txt"), "папката не съществува"},
      {"over a file made read-only", f.path("locked.txt"), "не може да бъде записван"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    f.save(c.to);
    ASSERT_TRUE(f.lastBox());
    EXPECT_EQ(f.lastBox()->prompt,
              "Файлът не можа да бъде записан: " + c.to + "\nПричина: " + c.reason + ".");
    EXPECT_EQ(f.lastBox()->buttons, msgbox::OkOnly | msgbox::Exclamation);
    EXPECT_EQ(f.captions(), std::vector<std::string>{"x"});
  }
  EXPECT_EQ(f.s.folder.read("kept.txt"), "1|old|1|2|24|False|");
  EXPECT_EQ(f.s.folder.read("locked.txt"), "1|old|1|2|24|False|");
  // No temporary file is left beside it.
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(f.s.folder.path()))
    ++files;
  EXPECT_EQ(files, 5);  // Simbol, kept.txt, kept.txt.d, locked.txt and the program's lock
  EXPECT_EQ(f.w().State, WindowState::Normal);
}

TEST(PageFiles, CancelledDialogsWriteAndLoadNothing) {
  Files f;
  f.text(200, 300, "x");
  f.p().pages.Command72_Click(3);
  f.text(200, 300, "y");
  f.save(std::nullopt);
  EXPECT_TRUE(f.desk().messageBoxCalls.empty());
  EXPECT_EQ(f.w().Text26.Text(), "4");  // the walk ran and came back
  EXPECT_EQ(f.p().UndoIndex, 0);
  EXPECT_EQ(f.w().State, WindowState::Normal);
  for (const auto& e : std::filesystem::directory_iterator(f.s.folder.path()))
    if (e.path().filename() != kLockFileName) {
      EXPECT_EQ(e.path().filename(), "Simbol");  // nothing written
    }

  const auto before = f.pages();
  f.desk().fileDialogAnswers.push_back(std::nullopt);
  f.p().pages.Command16_Click();
  f.advance(kLoadAllMs);
  EXPECT_EQ(f.pages(), before);
  EXPECT_TRUE(f.desk().messageBoxCalls.empty());
  EXPECT_EQ(f.w().State, WindowState::Normal);
}

TEST(PageFiles, AFileTheSymbolStoreHasNoRoomForIsNotBegun) {
  Files f;
  f.text(200, 300, "x");
  const auto before = f.pages();
  std::string text;
  for (int i = 0; i < kMaxSymbols; ++i) text += "1|a|1|2|24|False|";
  f.s.folder.write("big.txt", text);
  f.load(f.path("big.txt"));
  EXPECT_EQ(f.pages(), before);
  ASSERT_TRUE(f.lastBox());
  EXPECT_EQ(f.lastBox()->buttons, msgbox::OkOnly | msgbox::Exclamation);
}

TEST(PageFiles, TheRefusalSpeaksTheLanguageOfTheCaptions) {
  Files f;
  f.p().app.OcvetiEn();
  f.s.folder.write("bad.txt", "13|a|1|2|24|False|");
  f.load(f.path("bad.txt"));
  ASSERT_TRUE(f.lastBox());
  EXPECT_EQ(f.lastBox()->prompt, "This is not a page file of this program: " + f.path("bad.txt") +
                                     "\nReason: a page number other than 1 to 12.");
  f.save(f.path("none/pages.txt"));
  EXPECT_EQ(f.lastBox()->prompt, "The file could not be saved: " + f.path("none/pages.txt") +
                                     "\nReason: the folder does not exist.");
}

// Saved through a link, the file the link names gets the pages; the link stays a link.
TEST(PageFiles, ASaveThroughALinkReplacesTheFileItNames) {
  namespace fs = std::filesystem;
  const struct {
    const char* name;
    std::string link;  // relative to the program folder, or absolute
    bool targetThere;
  } cases[] = {
      {"a link to a file in another folder", "../real/pages.txt", true},
      {"a link to a link", "chain.txt", true},
      {"a link to a file not there yet", "../real/pages.txt", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Files f;
    const std::string real = f.path("real");
    fs::create_directory(real);
    fs::create_directory(f.path("work"));
    if (c.targetThere) f.s.folder.write("real/pages.txt", "1|old|1|2|24|False|");
    if (std::string(c.link) == "chain.txt")
      fs::create_symlink("../real/pages.txt", f.path("work/chain.txt"));
    fs::create_symlink(c.link, f.path("work/link.txt"));
    f.text(200, 300, "x");
    f.save(f.path("work/link.txt"));
    EXPECT_TRUE(fs::is_symlink(f.path("work/link.txt")));
    EXPECT_EQ(f.s.folder.read("real/pages.txt").rfind("1|x|", 0), 0u);
    EXPECT_EQ(f.lastBox()->prompt, "Вашето име за запис е: " + f.path("work/link.txt"));
    // The temporary file was made beside the real one and is gone.
    for (const std::string& folder : {real, f.path("work")})
      for (const auto& e : fs::directory_iterator(folder))
        EXPECT_EQ(e.path().extension(), ".txt") << e.path();
  }
}

TEST(PageFiles, ASaveRemovesOnlyTheLeftoversOfEarlierSavesOfTheSameFile) {
  namespace fs = std::filesystem;
  Files f;
  const std::vector<std::string> leftovers = {"pages.txt.0123456789ab.tmp",
                                              "pages.txt.ffffffffffff.tmp"};
  const std::vector<std::string> kept = {
      "pages.txt.0123456789AB.tmp",   // not the hex the program writes
      "pages.txt.0123456789a.tmp",    // eleven digits
      "pages.txt.0123456789abc.tmp",  // thirteen
      "pages.txt.0123456789ab.tmp~",  // another name
      "other.txt.0123456789ab.tmp",   // another file's
      "xpages.txt.0123456789ab.tmp", "pages.txt.tmp",
  };
  for (const std::string& n : leftovers) f.s.folder.write(n, "1|half");
  for (const std::string& n : kept) f.s.folder.write(n, "theirs");
  fs::create_directory(f.path("pages.txt.00000000000a.tmp"));  // a folder of that name stays
  fs::create_symlink(f.path("other.txt"), f.path("pages.txt.00000000000b.tmp"));
  f.text(200, 300, "x");
  f.save(f.path("pages.txt"));
  EXPECT_EQ(f.s.folder.read("pages.txt").rfind("1|x|", 0), 0u);
  for (const std::string& n : leftovers) EXPECT_FALSE(fs::exists(f.path(n))) << n;
  for (const std::string& n : kept) EXPECT_EQ(f.s.folder.read(n), "theirs") << n;
  EXPECT_TRUE(fs::is_directory(f.path("pages.txt.00000000000a.tmp")));
  EXPECT_TRUE(fs::is_symlink(f.path("pages.txt.00000000000b.tmp")));
}

TEST(PageFiles, TheNameChosenIsTakenWithoutTheBlanksAroundIt) {
  Files f;
  f.text(200, 300, "x");
  f.save(f.path("sp.txt") + "  ");
  EXPECT_EQ(f.s.folder.read("sp.txt").rfind("1|x|", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(f.path("sp.txt  ")));
  EXPECT_EQ(f.lastBox()->prompt, "Вашето име за запис е: " + f.path("sp.txt"));
}

// A page of many symbols is placed a share at a time: the window answers in between, and
// the page ends as the file has it, wherever the user went meanwhile.
TEST(PageFiles, ALargePageIsPlacedAShareAtATime) {
  Files f;
  Program& p = f.p();
  std::string text;
  for (int i = 0; i < 500; ++i)
    text += "1|" + std::to_string(i) + "|" + std::to_string(300 + 15 * i) + "|900|24|False|";
  text += "2|b|300|900|24|False|";
  f.s.folder.write("big.txt", text);
  f.desk().fileDialogAnswers.push_back(FileDialogChoice{f.path("big.txt"), 1});
  f.desk().messageBoxAnswers.push_back(msgbox::Ok);
  p.pages.Command16_Click();
  const size_t first = f.page().size();
  EXPECT_GT(first, 0u);
  EXPECT_LT(first, 500u);
  f.clickPage(3);  // the user goes elsewhere before the page is whole
  f.advance(kLoadAllMs);
  f.clickPage(1);
  const auto page1 = f.captions();
  ASSERT_EQ(page1.size(), 500u);
  for (int i = 0; i < 500; ++i) EXPECT_EQ(page1[static_cast<size_t>(i)], std::to_string(i));
  f.clickPage(3);
  EXPECT_TRUE(f.page().empty());
  f.save(f.path("again.txt"));
  EXPECT_EQ(f.s.folder.read("again.txt"), text);
}

TEST(PageFiles, ALargePageLoadedIsOneUndoStep) {
  Files f;
  std::string text;
  // Placed over more time than the after-placement step waits.
  for (int i = 0; i < 3000; ++i)
    text += "1|a|" + std::to_string(300 + 15 * (i % 50)) + "|" +
            std::to_string(900 + 20 * (i / 50)) + "|24|False|";
  f.s.folder.write("big.txt", text);
  f.load(f.path("big.txt"));
  ASSERT_EQ(f.page().size(), 3000u);
  EXPECT_EQ(f.p().UndoIndex, 1);
  f.p().pages.Command69_Click();
  EXPECT_TRUE(f.page().empty());
}

}  // namespace
}  // namespace kel::test
