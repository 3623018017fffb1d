// Formula reading and evaluation: reading a selection back, the result row, and what the
// main window uses of the evaluator and the limits dialogs.
#pragma once

#include <memory>
#include <string>

#include "palette/palette.h"
#include "platform/desktop.h"
#include "platform/script/script_engine.h"

namespace kel {

class Program;
class Res;
class Form;

class Evaluation {
 public:
  explicit Evaluation(Program& p) : p(p) {}

  // Creates the script engine with the program's math object.
  void InitScriptEngine();

  // --- reading a selection back -----------------------------------------------------------
  // Reads the rectangle just dragged over the page (the drag watcher, at the release), and
  // the expression region left of a " = " just placed (the text placer, with Check3
  // ticked): the symbols whose top-left corner lies inside become the selection records
  // in List3, their walk the linear formula in Text1 and, without blanks, in Text21 above
  // the page; the picture goes onto the clipboard and the evaluation (Timer11) is started,
  // and after an evaluable " = " the typing of the result (Timer12).
  void SelectDragRectangle();
  void SelectRegionBeforeEquals();
  // Places the hidden outline frame9 on the expression region (it stays hidden).
  void Command74_Click();
  // One-shot: hides the outline of the expression region again.
  void Timer32_Timer();
  // The picture of the screen under the selection window, nothing when it cannot be had.
  Bitmap CaptureOverlayArea();
  // The hidden image Image5's picture: the last capture, on its way to the clipboard.
  Bitmap Image5Picture;

  // --- the result row -----------------------------------------------------------------------
  // One-shots: evaluate Text1 and show the result (300 ms); type it after the " = " (500 ms).
  void Timer11_Timer();
  void Timer12_Timer();
  // A result in Text8 shows the row; an empty one brings the window to the front.
  void Text8_Change();
  // Rounding or the angle unit changed: the last expression again.
  void Check1_Click();
  void Gradusi_Click();
  void Text1_Click();
  void Text8_Click();
  // The "=" button of the result row (also Ctrl+R): types the current result into the
  // formula and returns the pointer to where the user clicked.
  void Command17_Click();
  // Appends the result in Text8 to the key queue, one paced item per character.
  void ZapisRezultatat();
  // -------------------------------------------------------------------------------------------

  // --- the limits dialogs Form4 (integral) and Form5 (sum): evaluation/limits_dialogs.cpp ---
  // Whether a dialog is shown, and where it stands (outer rectangle, twips). Asking loads
  // it, hidden, the first time.
  bool Form4Visible();
  bool Form5Visible();
  FormRectTw Form4Rect();
  FormRectTw Form5Rect();
  // The palette's integral-with-limits and sum-with-limits buttons.
  void Command58_Click();
  void Command59_Click();
  // Shows the limits dialog of the integral (1, Form4) or of the sum (2, Form5) modeless
  // and centred on the screen, loading it on first use, with the keyboard focus on its
  // Submit button.
  void ShowLimitsDialog(int dialog);
  // Hands the prepared limit items of a limits dialog (1 integral, 2 sum) to the key
  // queue once its sign has been placed, and clears BoundsDialog.
  void Granici(int dialog);
  // Unloads the limits dialogs that are loaded; each runs its unload step.
  void UnloadLimitsDialogs();
  // Ends the hold on the key capture (BoundsQueueState 2) unless a limits dialog other
  // than `closing` is still shown: what is typed into a shown dialog never reaches the
  // formula.
  void EndBoundsHold(const Form* closing = nullptr);
  // The queue player's check while the capture is held: a hold that nothing is left to
  // end (no dialog shown, nothing dispatched or placed, the queue played out) ends.
  void EndStaleBoundsHold();

  // --- the evaluator and the expression normaliser (evaluator.cpp, normaliser.cpp) -------
  // One evaluation: the expression in comp, rewritten into script syntax and evaluated by the
  // script engine; the result text goes to Text12, the message to Label55.
  void RRavno2();
  // Rewrites EvalExpression, in place, from the way a formula looks into script syntax.
  void NormalizeExpression();
  // The logarithm step of the normaliser.
  void ObrabotkaLog();
  // The hidden panel's "=" button and the normaliser's test button.
  void Command11_Click();
  void Command37_Click();
  // The working text that the evaluator and the normaliser rewrite.
  std::string EvalExpression;
  // Whether the last evaluation read a name that has no value (the e2 that the normaliser
  // makes of 3e2): its value is then no answer to type after the sign.
  bool NameWithoutValue = false;
  // Created by InitScriptEngine and kept for the whole run.
  std::unique_ptr<script::Engine> ScriptEngine;
  // The math object added to the engine.
  std::shared_ptr<Res> MathObject;
  // The script handed to the engine: a function whose body assigns the expression to it.
  static std::string EvalScript(const std::string& expression);
  // Longest expression the evaluator takes; a longer one fails with "ERROR".
  static constexpr std::size_t kMaxExpressionLength = 20000;
  // --- end of the evaluator ---------------------------------------------------------------

 private:
  // The result in Text8 as queue items: appended (position < 0), or inserted in front of
  // the item at that List1 position.
  void typeResult(int position);
  // --- reading a selection back ---
  // The common body of the two readers, on a rectangle of page twips.
  void readSelection(double x1, double y1, double x2, double y2, bool region);
  void finishReading(const std::string& raw, int openExponent, bool region);
  // A screen rectangle (pixels, rounded to whole ones) captured; nothing when it is empty.
  Bitmap captureScreenRect(double leftPx, double topPx, double widthPx, double heightPx);
  // The expression region left of a " = ", inside its outline.
  Bitmap CaptureRegion();
  // ---

  void evaluationFailed(int errorNumber);
  void openLimitsDialogFromPalette(int dialog);
  // --- end of the limits dialogs' block ----------------------------------------------------
  Program& p;
};

}  // namespace kel
