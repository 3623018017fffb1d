// The main window "Formidrel" and its design-time controls and timers.
//
// The members are the window's controls with their design state; the behaviour that
// works on them lives with its area (app/, surface/, input/ ...). Controls are
// registered back to front: where they overlap, one added later lies above.
#pragma once

#include <array>

#include "app/shared_state.h"
#include "platform/forms.h"
#include "platform/timer.h"

namespace kel {

struct MainWindow : Form {
  explicit MainWindow(Scheduler& s);

  // --- areas of the window -------------------------------------------------------------------
  Frame Frame6{"Frame6"};  // right-hand panel
  Frame Frame2{"Frame2"};  // lower tool frame in the panel
  Frame Frame4{"Frame4"};  // hotkey row
  Frame Frame5{"Frame5"};  // the page
  Label Label17{"Label17"}, Label18{"Label18"}, Label19{"Label19"}, label20{"label20"};
  Shape Shape2{"Shape2"}, Shape3{"Shape3"};  // writing-position marks
  TextBox Text21{"Text21"};                  // expression line
  Frame Frame8{"Frame8"};                    // toolbar

  // --- the page ----------------------------------------------------------------------------
  ControlArray<Label> Label3;
  ControlArray<Image> Image3;
  ControlArray<Image> Image2;       // fraction-bar pictures: 0 red (open), 1 black (closed)
  Image Image10{"Image10"};         // stands for "no open fraction bar"
  PictureBox Picture1{"Picture1"};  // caret
  PictureBox Picture00{"Picture00"}, Picture3{"Picture3"}, Picture4{"Picture4"};
  Line Line4{"Line4"};  // guide line of the writing position
  // Outline of the expression read after a " = ".
  Shape frame9{"frame9"};

  // --- toolbar -----------------------------------------------------------------------------
  CommandButton Command69{"Command69"};  // Undo
  CommandButton Command70{"Command70"};  // Redo
  CommandButton Command16{"Command16"};  // open
  CommandButton Command15{"Command15"};  // save
  CheckBox Check1{"Check1"};             // Round
  ListBox Gradusi{"Gradusi"};            // angle unit: "rad", "deg"

  // --- panel -------------------------------------------------------------------------------
  CommandButton Command60{"Command60"}, Command61{"Command61"};  // language
  CommandButton Command71{"Command71"};                          // on-screen keyboard
  Label Label11{"Label11"};                                      // Clear All
  CommandButton Command2{"Command2"}, Command3{"Command3"};      // Stop, Start (hidden)
  Label Label7{"Label7"}, Label8{"Label8"}, Label9{"Label9"};    // hotkey names
  Image Image4{"Image4"}, Image6{"Image6"}, Image7{"Image7"};    // hotkey pictures
  CheckBox Check3{"Check3"};
  CheckBox Check2{"Check2"};
  PictureBox Picture2{"Picture2"};           // preview of the palette symbol chosen last
  Label Label1{"Label1"}, Label2{"Label2"};  // index hints
  Image Image12{"Image12"}, Image8{"Image8"};
  Image Image1{"Image1"}, Image13{"Image13"};  // F12 key pictures (lower index / normal)
  Label Label10{"Label10"}, Label4{"Label4"}, Label5{"Label5"}, Label6{"Label6"};
  Image Image14{"Image14"}, Image15{"Image15"}, Image16{"Image16"}, Image17{"Image17"};
  Line Line14{"Line14"}, Line7{"Line7"}, Line8{"Line8"}, Line6{"Line6"};
  Label Label15{"Label15"}, Label16{"Label16"};  // help texts

  // --- palette (palette/) ------------------------------------------------------------------
  // The 45 symbol buttons, by the code each stands for (palette/palette_buttons.h).
  CommandButton Command1{"Command1"}, Command4{"Command4"}, Command5{"Command5"},
      Command6{"Command6"}, Command7{"Command7"}, Command8{"Command8"}, Command9{"Command9"},
      Command10{"Command10"}, Command12{"Command12"}, Command13{"Command13"},
      Command18{"Command18"}, Command19{"Command19"}, Command20{"Command20"},
      Command21{"Command21"}, Command22{"Command22"}, Command23{"Command23"},
      Command24{"Command24"}, Command25{"Command25"}, Command26{"Command26"},
      Command27{"Command27"}, Command28{"Command28"}, Command29{"Command29"},
      Command30{"Command30"}, Command31{"Command31"}, Command35{"Command35"},
      Command36{"Command36"}, Command39{"Command39"}, Command40{"Command40"},
      Command41{"Command41"}, Command42{"Command42"}, Command43{"Command43"},
      Command44{"Command44"}, Command45{"Command45"}, Command46{"Command46"},
      Command47{"Command47"}, Command48{"Command48"}, Command49{"Command49"},
      Command50{"Command50"}, Command51{"Command51"}, Command52{"Command52"},
      Command53{"Command53"}, Command54{"Command54"}, Command55{"Command55"},
      Command56{"Command56"}, Command57{"Command57"};
  CommandButton Command58{"Command58"};  // integral with limits
  CommandButton Command59{"Command59"};  // sum with limits
  // The hotkey row's buttons: F8 help, bind F9, bind F10.
  CommandButton Command32{"Command32"}, Command33{"Command33"}, Command34{"Command34"};
  // Shows the key indicator; hidden for the whole run.
  CommandButton Command38{"Command38"};
  // --- end of the palette's block ----------------------------------------------------------

  // --- never shown -------------------------------------------------------------------------
  CommandButton Command14{"Command14"};  // closes a fraction (called by code)
  CommandButton Command63{"Command63"};  // parks the keyboard focus
  ListBox List1{"List1"}, List2{"List2"}, List3{"List3"};
  TextBox Text5{"Text5"}, Text7{"Text7"}, Text9{"Text9"}, TextM1{"TextM1"}, TextM2{"TextM2"};

  // --- evaluation ------------------------------------------------------------------------
  // The linear formula of the result row (in the panel, hidden at design).
  TextBox Text1{"Text1"};
  // The evaluation panel, hidden for the whole run: its controls only hold the evaluator's
  // state.
  Frame Frame3{"Frame3"};
  TextBox comp{"comp"};                  // the expression to evaluate
  CommandButton Command11{"Command11"};  // "=": evaluates comp
  TextBox Text12{"Text12"};              // the result as text
  Label Label55{"Label55"};              // the evaluation message
  Label Label66{"Label66"};              // the math object's domain-error code
  // The normaliser's test bench.
  TextBox Text19{"Text19"};
  CommandButton Command37{"Command37"};
  TextBox Text20{"Text20"};
  // --- end of evaluation -----------------------------------------------------------------

  // --- reading a selection back and the result row ---------------------------------------
  // Text1, the expression read, is the evaluator's (above).
  CommandButton Command17{"Command17"};  // "=": types the result into the formula
  TextBox Text8{"Text8"};                // the result
  Shape Shape1{"Shape1"};                // outline round Round and the angle unit
  Frame Frame7{"Frame7"};                // the panel of move buttons
  CommandButton Command74{"Command74"};  // "Ogradi Auto": places frame9 (never shown)
  // ---------------------------------------------------------------------------------------

  // --- timers, in creation order (ties of due time go to the earlier one) -------------------
  Timer Timer0, Timer00, Timer1, Timer4, Timer6, Timer8, Timer10, Timer13, Timer14, Timer15,
      Timer17, Timer18, Timer19, Timer20, Timer21, Timer22, Timer23, Timer24, Timer25, Timer27,
      Timer28, Timer32, TimerM1, TimerM2, Timer16, TimerStart0, timerNovaDrob;
  // Reading: evaluate the expression read (300 ms), type its result (500 ms); one-shots.
  Timer Timer11, Timer12;

  // The eleven timers that Stop and Start switch as a group, in no particular order.
  Timer* backgroundGroup[11];

  // --- pages: the twelve page buttons and the page files ------------------------------------
  // Command72(k) shows page k + 1: "Стр-1" to "Стр-12", red while its page is shown.
  std::array<CommandButton, kPages> Command72{
      CommandButton{"Command72"}, CommandButton{"Command72"}, CommandButton{"Command72"},
      CommandButton{"Command72"}, CommandButton{"Command72"}, CommandButton{"Command72"},
      CommandButton{"Command72"}, CommandButton{"Command72"}, CommandButton{"Command72"},
      CommandButton{"Command72"}, CommandButton{"Command72"}, CommandButton{"Command72"}};
  TextBox Text26{"Text26"};  // the number of the page shown (hidden)
  // The save walk (50 ms) and the next page of a load (1 s); both off at design.
  Timer Timer30, Timer31;
  // The rest of a large page being loaded (1 ms, one-shot).
  Timer TimerPlaceStep;
  // --- end of the pages' block --------------------------------------------------------------

  // --- editing: the move buttons on Frame7 --------------------------------------------------
  CommandButton Command64{"Command64"};  // left
  CommandButton Command65{"Command65"};  // right
  CommandButton Command67{"Command67"};  // up
  CommandButton Command68{"Command68"};  // down
  // Moves the selection while a move button is held (10 ms); off at design.
  Timer Timer29;
  // --- end of the editing block -------------------------------------------------------------

  // Keeps the recovery file in line with the pages (1 s, on from the start).
  Timer TimerRecovery;
};

}  // namespace kel
