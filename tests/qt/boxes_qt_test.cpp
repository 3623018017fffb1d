// The program's message boxes and file dialogs on the real desktop: the keys that answer them
// are not the program's, a request to end the run waits for them to close, and what they
// show from outside is shown as it is written.
#include <gtest/gtest.h>
#include <signal.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/qt_desktop.h"
#include "platform/qt/quit_signals.h"
#include "platform/qt/x11_input.h"
#include "tests/qt/test_time.h"
#include "tests/qt/xdotool_user.h"

namespace kel::qt {
namespace {

// Runs `then` inside the box's loop, once the box is up and has the keyboard.
void whenTheBoxIsUp(std::function<void(QWidget* box)> then) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, then] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box || !box->isVisible()) return;
    box->activateWindow();
    if (!box->isActiveWindow()) return;
    poll->deleteLater();
    poll->stop();
    then(box);
  });
  poll->start(20);
}

class BoxesTest : public ::testing::Test {
 protected:
  BoxesTest() : desktop(std::make_unique<X11Input>(openDisplay())) {
    main.Left = 3000;
    main.Top = 1500;
    main.Width = 4000;
    main.Height = 3000;
    desktop.setMainForm(main);
    desktop.run([&] { desktop.showForm(main); });
    static_cast<void>(waitFor([&] {
      FormView* v = desktop.views().existingView(main);
      return v && v->widget && v->widget->isVisible();
    }));
  }
  ~BoxesTest() override {
    if (main.Loaded) desktop.run([&] { desktop.unloadForm(main); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // Presses the user made that the program would see.
  std::vector<int> presses() {
    desktop.input().sync();
    std::vector<int> out;
    for (const KeyPress& k : desktop.takeKeyPresses()) out.push_back(k.vk);
    return out;
  }
  Form main{"Main"};
  QtDesktop desktop;
};

TEST_F(BoxesTest, TheKeyThatAnswersABoxIsNotTheProgramsPress) {
  const struct {
    int buttons;
    const char* key;
    int vk;
    int answer;
  } cases[] = {
      {msgbox::YesNo, "Escape", vk::Escape, msgbox::No},
      {msgbox::YesNo, "Return", vk::Return, msgbox::Yes},
      {msgbox::OkCancel, "Escape", vk::Escape, msgbox::Cancel},
      {msgbox::OkCancel | msgbox::Exclamation, "Return", vk::Return, msgbox::Ok},
      {msgbox::OkOnly | msgbox::Information, "Return", vk::Return, msgbox::Ok},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    presses();
    whenTheBoxIsUp([&](QWidget*) {
      user("key q");
      user(std::string("keydown ") + c.key);
    });
    EXPECT_EQ(desktop.messageBox("?", c.buttons, ""), c.answer);
    // Held on after the box has gone, it still reads as up.
    EXPECT_EQ(desktop.asyncKeyState(c.vk) & 0x8001, 0);
    EXPECT_GE(desktop.keyState(c.vk), 0);
    EXPECT_EQ(presses(), std::vector<int>{});
    user(std::string("keyup ") + c.key);
    user("key z");
    EXPECT_EQ(presses(), std::vector<int>{'Z'});
  }
  // A file dialog's keys too: a name typed into it and the Return that takes it.
  presses();
  whenTheBoxIsUp([&](QWidget*) {
    user("type --delay 10 abc.txt");
    user("key Escape");  // the name's completions
    user("key Return");
  });
  FileDialogRequest open;
  open.folder = QDir::tempPath().toStdString();
  const std::optional<FileDialogChoice> chosen = desktop.fileDialog(open);
  ASSERT_TRUE(chosen);
  EXPECT_NE(chosen->path.find("abc.txt"), std::string::npos);
  EXPECT_EQ(presses(), std::vector<int>{});
}

// A box of the program's own buttons: they stand in the order given, Return presses the
// default one and Escape or the window's close button the escape one, and no key of it is
// the program's.
TEST_F(BoxesTest, AChoiceBoxAnswersWithItsOwnButtons) {
  ChoiceRequest request;
  request.title = "Choice";
  request.prompt = "?";
  request.icon = msgbox::Question;
  request.buttons = {"Load", "Keep", "Discard"};
  request.defaultButton = 0;
  request.escapeButton = 1;
  const struct {
    const char* name;
    std::function<void(QWidget* box)> answer;
    int expected;
  } cases[] = {
      {"Return", [](QWidget*) { user("key Return"); }, 0},
      {"Escape", [](QWidget*) { user("key Escape"); }, 1},
      {"the close button", [](QWidget* box) { box->close(); }, 1},
      {"Discard clicked",
       [](QWidget* box) {
         for (QPushButton* b : box->findChildren<QPushButton*>())
           if (b->text() == "Discard") b->click();
       },
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    presses();
    std::vector<std::string> order;
    whenTheBoxIsUp([&](QWidget* box) {
      std::vector<QPushButton*> buttons;
      for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->isVisible()) buttons.push_back(b);
      std::sort(buttons.begin(), buttons.end(),
                [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
      for (QPushButton* b : buttons) order.push_back(b->text().toStdString());
      c.answer(box);
    });
    EXPECT_EQ(desktop.choiceBox(request), c.expected);
    EXPECT_EQ(order, request.buttons);
    user("key z");
    EXPECT_EQ(presses(), std::vector<int>{'Z'});
  }
}

// An owned window is transient for its owner, and stays above it when the owner is raised,
// with no window manager to keep it there.
TEST_F(BoxesTest, AnOwnedWindowStaysAboveItsOwner) {
  Form owned{"Owned"};
  owned.Left = 4000;
  owned.Top = 2000;
  owned.Width = 2000;
  owned.Height = 1500;
  owned.Owner = &main;
  desktop.run([&] {
    desktop.showForm(owned);
    desktop.bringToFront(owned);
  });
  QWidget* ownedWidget = desktop.views().existingView(owned)->widget.data();
  QWidget* mainWidget = desktop.views().existingView(main)->widget.data();
  ASSERT_TRUE(waitExposed(ownedWidget));
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  ASSERT_TRUE(x11);
  xcb_connection_t* c = x11->connection();
  const auto ownedId = static_cast<xcb_window_t>(ownedWidget->winId());
  const auto mainId = static_cast<xcb_window_t>(mainWidget->winId());
  xcb_window_t transientFor = 0;
  if (xcb_get_property_reply_t* r = xcb_get_property_reply(
          c, xcb_get_property(c, 0, ownedId, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1),
          nullptr)) {
    if (xcb_get_property_value_length(r) == 4)
      transientFor = *static_cast<xcb_window_t*>(xcb_get_property_value(r));
    std::free(r);
  }
  EXPECT_EQ(transientFor, mainId);
  // The main window raised, as a return to it does: the owned one still lies above it.
  desktop.run([&] { desktop.bringToFront(main); });
  QCoreApplication::processEvents();
  auto stackedAt = [&](xcb_window_t window) {
    int at = -1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (xcb_query_tree_reply_t* r = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr)) {
      const xcb_window_t* children = xcb_query_tree_children(r);
      for (int i = 0; i < xcb_query_tree_children_length(r); ++i)
        if (children[i] == window) at = i;
      std::free(r);
    }
    return at;
  };
  EXPECT_GT(stackedAt(ownedId), stackedAt(mainId));
  desktop.run([&] { desktop.unloadForm(owned); });
}

TEST(QtBoxes, AnEndOfTheRunUnderABoxWaitsForItToClose) {
  FileDialogRequest save;
  save.kind = FileDialogKind::Save;
  const struct {
    const char* name;
    std::function<bool(QtDesktop&)> open;  // true: the answer that changes nothing
  } boxes[] = {
      {"Yes/No", [](QtDesktop& d) { return d.messageBox("?", msgbox::YesNo, "") == msgbox::No; }},
      {"OK/Cancel",
       [](QtDesktop& d) { return d.messageBox("?", msgbox::OkCancel, "") == msgbox::Cancel; }},
      {"OK", [](QtDesktop& d) { return d.messageBox("!", msgbox::OkOnly, "") == msgbox::Ok; }},
      {"Open", [](QtDesktop& d) { return !d.fileDialog(FileDialogRequest{}); }},
      {"Save", [save](QtDesktop& d) { return !d.fileDialog(save); }},
      {"own buttons",
       [](QtDesktop& d) {
         ChoiceRequest r;
         r.buttons = {"Load", "Keep", "Discard"};
         r.escapeButton = 1;
         return d.choiceBox(r) == 1;
       }},
  };
  for (const auto& box : boxes) {
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
      SCOPED_TRACE(std::string(box.name) + " " + std::to_string(sig));
      Form main{"Main"};
      main.Left = 3000;
      main.Top = 1500;
      main.Width = 4000;
      main.Height = 3000;
      QtDesktop desktop(std::make_unique<X11Input>(openDisplay()));
      desktop.setMainForm(main);
      desktop.run([&] { desktop.showForm(main); });
      QPointer<QWidget> window = desktop.views().existingView(main)->widget.data();
      ASSERT_TRUE(waitExposed(window));
      int closes = 0;
      bool underABox = true;
      QuitSignals quitSignals([&] {
        desktop.endRun([&] {
          ++closes;
          underABox = desktop.boxOpen();
          desktop.unloadForm(main);  // the box's parent goes with it
        });
      });
      ASSERT_TRUE(quitSignals.installed());
      whenTheBoxIsUp([sig](QWidget*) { ::raise(sig); });
      EXPECT_TRUE(box.open(desktop));
      // What the interrupted code asks next is answered at once, before the close runs.
      EXPECT_TRUE(box.open(desktop));
      EXPECT_EQ(closes, 0);
      EXPECT_TRUE(waitFor([&] { return closes > 0; }));
      EXPECT_EQ(closes, 1);
      EXPECT_FALSE(underABox);
      EXPECT_FALSE(main.Loaded);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(window.isNull());
    }
  }
}

TEST_F(BoxesTest, AFileNameInABoxIsShownAsItIsWritten) {
  for (const char* name :
       {"<img src=x.png>.txt", "<font size=7 color=red>BIG.txt", "<b>a&amp;b</b><br>c.txt"}) {
    SCOPED_TRACE(name);
    const std::string prompt = std::string("Файлът не можа да бъде прочетен: /tmp/") + name;
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    whenTheBoxIsUp([&](QWidget* box) {
      if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        shown = label->text();
        format = label->textFormat();
      }
      static_cast<QDialog*>(box)->accept();
    });
    desktop.messageBox(prompt, msgbox::OkOnly | msgbox::Exclamation, name);
    EXPECT_EQ(shown.toStdString(), prompt);
    EXPECT_EQ(format, Qt::PlainText);
  }
}

}  // namespace
}  // namespace kel::qt
