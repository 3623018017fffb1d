// Start-up, shut-down and the options file.
#include <exception>

#include "app/options.h"
#include "app/program.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {
constexpr const char* kMainWindowTitle = "Formidrel";
}  // namespace

std::string App::optionsPath() const { return joinPath(p.files.programFolder(), kOptionsFileName); }

bool App::TakeProgramFolder() {
  const FolderLock lock = p.files.lockProgramFolder();
  if (lock.taken) return true;
  // Nothing of this run's window may run: the box waits for the user with the event loop
  // running, and the timers the window is made with would meanwhile offer the recovery file
  // of the run that holds the folder (to load or discard its pages) and take the keys.
  for (Timer* t : p.scheduler.timers()) t->setEnabled(false);
  // Its window first, so that the box stands over the run it speaks of.
  if (lock.holderPid > 0) p.desktop.raiseWindowOfProcess(lock.holderPid, kMainWindowTitle);
  // A start shows the Bulgarian captions first: so does its box.
  p.desktop.messageBox("Програмата вече работи от тази папка: " + p.files.programFolder() +
                           "\nПродължете в нейния прозорец.",
                       msgbox::OkOnly | msgbox::Information, kMainWindowTitle);
  return false;
}

void App::Form_Load() {
  MainWindow& w = p.Form1;
  p.UndoIndex = 0;
  p.FractionPart = 0;
  for (Label* b : {&w.Label17, &w.Label18, &w.Label19, &w.label20}) b->BackColor = kBlack;
  p.CurrentBar = kNoBar;
  p.input.SwitchToUSKeyboard();
  p.LatinLayout = 1;
  p.evaluation.InitScriptEngine();
  MakeTopmost(w);
  w.Left = p.desktop.screenSize().width - w.Width;
  w.Top = 500;
  p.MarkPointerX = static_cast<float>(w.Left) / 15.0f + 90.0f;
  p.MarkPointerY = static_cast<float>(w.Top) / 15.0f + 100.0f;
  p.BarEndPointerX = p.MarkPointerX;
  p.BarEndPointerY = p.MarkPointerY;
  p.BarStartPointerX = p.MarkPointerX;
  p.BarStartPointerY = p.MarkPointerY;
  p.MarkInsertX = 1290;
  p.PointerX = p.MarkPointerX;
  p.PointerY = p.MarkPointerY;
  p.QueueLength = 0;
  p.BusyFlag = 0;
  p.UpperIndexMode = 0;
  p.LowerIndexMode = 0;
  p.FractionStartLatched = 0;
  p.RecordedPointCount = 0;
  p.StepIndex = 0;
  p.UseAbsolutePoints = 0;
  w.Text5.setText("0");
  p.PressPointX = 0;
  p.PressPointY = 0;
  p.RecordingBlocked = 0;
  p.CtrlDown = 0;
  // From here on a failing step is skipped.
  // The buttons' faces are design pictures: the restored bindings show them.
  skipOnFailure([&] { p.palette.LoadButtonFaces(); });
  skipOnFailure([&] { p.pages.LoadButtonPictures(); });  // editing: move and toolbar buttons
  skipOnFailure([&] { readOptions(); });
  skipOnFailure([&] { w.Label3[0].Top = -1000; });
  skipOnFailure([&] { w.Image3[0].Top = -1000; });
  p.LastWindowTop = static_cast<float>(w.Top);
  skipOnFailure([&] { p.surface.LoadBarPictures(); });
  skipOnFailure([&] { p.surface.LoadDesignPictures(); });
}

void App::readOptions() {
  MainWindow& w = p.Form1;
  const FileRead file = p.files.read(optionsPath(), kOptionsMaxBytes);
  optionsKept_ = file.outcome == ReadOutcome::Unreadable || file.outcome == ReadOutcome::Refused ||
                 (file.outcome == ReadOutcome::Read && !isOptionsText(file.content));
  const std::vector<std::string> fields =
      splitOptionFields(optionsKept_ ? std::string_view() : std::string_view(file.content));
  auto field = [&](size_t n) -> const std::string* {
    return n >= 1 && n <= fields.size() ? &fields[n - 1] : nullptr;
  };

  struct Binding {
    std::string* code;
    std::string* shift;
    const char* name;
  };
  const Binding bindings[] = {{&p.HotkeyF8Code, &p.HotkeyF8Shift, "F8"},
                              {&p.HotkeyF9Code, &p.HotkeyF9Shift, "F9"},
                              {&p.HotkeyF10Code, &p.HotkeyF10Shift, "F10"}};
  for (size_t i = 0; i < 3; ++i) {
    const Binding& b = bindings[i];
    // A code that could not be a queue item is not ours to play back: the pair is
    // skipped, as a field that does not convert.
    const std::string* code = field(2 * i + 1);
    const std::string* shift = field(2 * i + 2);
    if (code && isStorableBindingCode(*code)) {
      *b.code = *code;
      if (shift && isStorableShiftFlag(*shift)) *b.shift = *shift;
    }
    if (!b.code->empty()) {
      skipOnFailure([&] { p.palette.SmeniKartinka(*b.code); });
      skipOnFailure([&] { p.palette.ZapisNaznachen(*b.code, *b.shift, b.name); });
    }
  }

  const std::string* f7 = field(7);
  const std::string* f8 = field(8);
  const std::string* f9 = field(9);
  if (f9) {
    std::optional<long long> v = toWholeNumber(*f9);
    if (v && (*v == 0 || *v == 1)) w.Check3.Value = static_cast<int>(*v);
  }
  // Setting Round or the angle unit from here runs their click steps when the value
  // changes, as a change by the user does.
  const int round = w.Check1.Value;
  if (!f7 || f7->empty()) {
    w.Check1.Value = 1;
  } else if (std::optional<double> v = toNumber(*f7)) {
    w.Check1.Value = *v == 1 ? 1 : 0;
  }  // text that is not a number leaves Round as it is (ticked)
  if (w.Check1.Value != round) skipOnFailure([&] { p.evaluation.Check1_Click(); });
  std::optional<double> unit = f8 ? toNumber(*f8) : std::nullopt;
  const int angleUnit = w.Gradusi.ListIndex;
  w.Gradusi.ListIndex = unit && *unit == 1 ? 1 : 0;
  if (w.Gradusi.ListIndex != angleUnit) skipOnFailure([&] { p.evaluation.Gradusi_Click(); });
}

void App::writeOptions() {
  // The user's bindings in a file that could not be read would be lost by writing the
  // defaults over them; a file the user may not write is refused by replaceContent.
  if (optionsKept_ && p.files.exists(optionsPath())) return;
  const MainWindow& w = p.Form1;
  OptionValues v;
  v.f8Code = p.HotkeyF8Code;
  v.f8Shift = p.HotkeyF8Shift;
  v.f9Code = p.HotkeyF9Code;
  v.f9Shift = p.HotkeyF9Shift;
  v.f10Code = p.HotkeyF10Code;
  v.f10Shift = p.HotkeyF10Shift;
  v.round = w.Check1.Value;
  v.angleUnit = w.Gradusi.ListIndex;
  v.evaluateAfterEquals = w.Check3.Value;
  p.files.replaceContent(optionsPath(), formatOptionLine(v));
}

bool App::Form_QueryUnload() {
  if (p.closed() || !p.pages.PagesChanged()) return true;
  const int answer = p.desktop.messageBox(
      englishCaptions_ ? "The pages have changed since they were last saved. Save them first?"
                       : "Страниците са променени след последния запис. Да бъдат ли записани?",
      msgbox::YesNoCancel | msgbox::Question, "Formidrel");
  // The session may have ended the program while the box was up.
  if (p.closed()) return false;
  if (answer == msgbox::Yes) {
    p.pages.SaveAndClose();
    return false;
  }
  if (answer != msgbox::No) return false;
  pagesDeclined_ = true;
  return true;
}

void App::Form_Unload() {
  skipOnFailure([&] { p.pages.UnloadForm2(); });
  skipOnFailure([&] { p.palette.indicator.Unload(); });  // the key indicator
  skipOnFailure([&] { p.evaluation.UnloadLimitsDialogs(); });
  skipOnFailure([&] { p.pages.UnloadForm7(); });
  skipOnFailure([&] { p.palette.UnloadForm8(); });
  skipOnFailure([&] { writeOptions(); });
  // Declined: the user chose to lose what changed, and this run keeps nothing.
  if (pagesDeclined_)
    skipOnFailure([&] { p.pages.ForgetRecoveryFile(); });
  else
    skipOnFailure([&] { p.pages.WriteRecoveryFile(); });
}

void App::TimerStart0_Timer() {
  p.input.SwitchToUSKeyboard();
  p.Form1.TimerStart0.setEnabled(false);
  Command3_Click();
  // The window is up and answering: the pages of a run that could not ask come back now.
  skipOnFailure([&] { p.pages.OfferRecoveryFile(); });
}

void App::Timer21_Timer() {
  MainWindow& w = p.Form1;
  w.Timer21.setEnabled(false);
  w.Frame5.MouseIcon = p.pages.Form7Icon();
  w.Frame5.MousePointer = 99;
}

}  // namespace kel
