// Start-up and shut-down, the options file, the window layout, the background group
// and the window services of the main window.
#pragma once

#include <string>

namespace kel {

class Program;
class Form;

class App {
 public:
  explicit App(Program& p) : p(p) {}

  // Start-up and shut-down.
  void Form_Load();
  // The close box: when a page changed since it was last saved or loaded, asks whether to
  // save first. Yes saves and closes once the file is written, No closes, Cancel stays;
  // false keeps the window.
  bool Form_QueryUnload();
  // Unloads the other windows and writes the options file; pages that changed and that
  // nobody declined to save go to this run's recovery file, which goes otherwise.
  void Form_Unload();
  void TimerStart0_Timer();
  void Timer21_Timer();
  std::string optionsPath() const;

  // Layout pass.
  void Form_Resize();
  // The window moved by its title bar: what stands for places on the page moves with it.
  void Form_Move();

  // The background group.
  void Spirane();
  void Startirane();
  void Command2_Click();
  void Command3_Click();
  // The pointer-leaves-window check.
  void Timer23_Timer();
  // Pointer moves over the border frames and the expression line stop the group; over
  // the bare page or panel they switch it on again after a stop.
  void Label17_MouseMove(int button, int shift, double x, double y);
  void Label18_MouseMove(int button, int shift, double x, double y);
  void Label19_MouseMove(int button, int shift, double x, double y);
  void label20_MouseMove(int button, int shift, double x, double y);
  void Text21_MouseMove(int button, int shift, double x, double y);
  void Frame5_MouseMove(int button, int shift, double x, double y);
  void Frame6_MouseMove(int button, int shift, double x, double y);
  void Frame5_MouseDown(int button, int shift, double x, double y);
  void Frame5_MouseUp(int button, int shift, double x, double y);

  // Interface language, with the typing layout.
  void OcvetiEn();
  void OcvetiBG();
  // Whether the captions are the English ones; the program's own boxes follow them.
  bool EnglishCaptions() const { return englishCaptions_; }
  void Command60_Click();
  void Command61_Click();
  // A layout code played from the key queue (Alt+A, Alt+S): as the buttons, but the pointer
  // follows the insertion point only from where the program put it.
  void SwitchLanguageTyped(bool english);

  // Takes the program folder for this run; when another run holds it, says so, raises that
  // run's window and answers false.
  bool TakeProgramFolder();

  // Window services.
  void MakeTopmost(Form& f);
  void MakeColorTransparent(Form& f, unsigned colour);
  void ReturnToMainWindow();
  void BeginFormDrag(Form& obj, double x, double y);
  void ContinueFormDrag(Form& obj, double x, double y);

 private:
  void switchLanguage(bool english, bool clicked);
  void readOptions();
  void writeOptions();
  Program& p;
  // Start-up found an options file it could not read as options (unreadable, too large, in
  // UTF-16 ...): what it holds is not known, so it is not replaced at shut-down.
  bool optionsKept_ = false;
  bool englishCaptions_ = false;
  // The close box was answered No: the changed pages go nowhere.
  bool pagesDeclined_ = false;
};

}  // namespace kel
