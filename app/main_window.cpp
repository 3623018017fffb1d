#include "app/main_window.h"

#include <string>

#include "palette/palette_buttons.h"
#include "platform/units.h"

namespace kel {

namespace {

Label symbolLabelTemplate() {
  Label l("Label3");
  l.Caption = "rrr";
  l.Font = Font{"Arial", 8.25, false, 204};
  l.BackColor = kWhite;
  l.ForeColor = kButtonText;
  l.Opaque = true;
  l.AutoSize = true;
  l.Left = 120;
  l.Top = 0;
  l.Width = 180;
  l.Height = 210;
  l.Visible = false;
  return l;
}

Image symbolImageTemplate() {
  Image i("Image3");
  i.Width = 255;
  i.Height = 135;
  i.Stretch = false;
  i.Visible = false;
  return i;
}

Image barTemplate() {
  Image i("Image2");
  i.Width = 450;
  i.Height = 45;
  i.Visible = false;
  return i;
}

void place(Control& c, Control* container, double l, double t, double w, double h) {
  c.Container = container;
  place(c, l, t, w, h);
}

void hintLabel(Label& l, Control* in, double x, double y, double w, const char* caption) {
  place(l, in, x, y, w, 300);
  l.Caption = caption;
  l.BackColor = 0xC0FFC0;
  l.ForeColor = kBlack;
}

void hintLine(Line& l, Control* in, double x1, double y1, double x2, double y2) {
  l.Container = in;
  l.X1 = x1;
  l.Y1 = y1;
  l.X2 = x2;
  l.Y2 = y2;
  l.BorderColor = kRed;
}

}  // namespace

MainWindow::MainWindow(Scheduler& s)
    : Form("Form1"),
      Label3(symbolLabelTemplate(), 10000),
      Image3(symbolImageTemplate(), 10000),
      Image2(barTemplate(), 1),
      Timer0(s, "Timer0", 20, false),
      Timer00(s, "Timer00", 50, false),
      Timer1(s, "Timer1", 20, true),
      Timer4(s, "Timer4", 20, false),
      Timer6(s, "Timer6", 50, false),
      Timer8(s, "Timer8", 50, true),
      Timer10(s, "Timer10", 50, true),
      Timer13(s, "Timer13", 20, true),
      Timer14(s, "Timer14", 20, true),
      Timer15(s, "Timer15", 50, true),
      Timer17(s, "Timer17", 500, false),
      Timer18(s, "Timer18", 50, false),
      Timer19(s, "Timer19", 300, false),
      Timer20(s, "Timer20", 250, false),
      Timer21(s, "Timer21", 1000, true),
      Timer22(s, "Timer22", 50, true),
      Timer23(s, "Timer23", 50, true),
      Timer24(s, "Timer24", 50, true),
      Timer25(s, "Timer25", 1000, false),
      Timer27(s, "Timer27", 500, false),
      Timer28(s, "Timer28", 300, false),
      Timer32(s, "Timer32", 500, false),
      TimerM1(s, "TimerM1", 50, true),
      TimerM2(s, "TimerM2", 600, false),
      Timer16(s, "Timer16", 50, false),
      TimerStart0(s, "TimerStart0", 200, true),
      timerNovaDrob(s, "timerNovaDrob", 3000, false),
      Timer11(s, "Timer11", 300, false),
      Timer12(s, "Timer12", 500, false),
      backgroundGroup{&Timer0,  &Timer00, &Timer1, &Timer10, &Timer13, &Timer14,
                      &Timer15, &TimerM1, &Timer8, &Timer22, &Timer23},
      Timer30(s, "Timer30", 1000, false),             // pages
      Timer31(s, "Timer31", 50, false),               // pages
      TimerPlaceStep(s, "TimerPlaceStep", 1, false),  // pages
      Timer29(s, "Timer29", 10, false),               // editing
      TimerRecovery(s, "TimerRecovery", 1000, true) {
  Caption = "Formidrel";
  BackColor = kBlack;
  Width = 14730 + kFrameExtraWidthTw;
  Height = 11265 + kFrameExtraHeightTw;
  Sizable = true;

  // Areas.
  place(Frame6, nullptr, 10080, 120, 4815, 11175);
  Frame6.BackColor = kBlack;
  place(Frame2, &Frame6, 0, 6480, 4815, 4695);
  Frame2.BackColor = kBlack;
  place(Frame4, &Frame6, 480, 5640, 4095, 735);
  Frame4.BackColor = kBlack;
  place(Frame5, nullptr, 0, 0, 5055, 6255);
  Frame5.BackColor = kWhite;
  for (Label* b : {&Label17, &Label18, &Label19, &label20}) {
    b->BackColor = 0xC0FFFF;
    b->Caption = "";
  }
  place(Label17, nullptr, 0, 0, 14730, 285);
  place(Label18, nullptr, 0, 5960, 14730, 285);
  place(Label19, nullptr, 0, 0, 285, 6255);
  place(label20, nullptr, 14500, 0, 135, 6255);
  place(Shape2, &Label17, 240, 0, 135, 255);
  place(Shape3, &Label18, 240, 0, 135, 255);
  Shape2.FillColor = Shape3.FillColor = kRed;
  place(Text21, nullptr, 1320, 8160, 3495, 285);
  Text21.Visible = false;
  place(Frame8, nullptr, 10080, 240, 4455, 525);
  Frame8.BackColor = kBlack;

  // The page.
  Label3[0].Container = &Frame5;
  Image3[0].Container = &Frame5;
  Image2[0].Container = &Frame5;
  Image2.Load(1);  // both bar pictures are design-time elements
  place(Image10, &Frame5, 0, 0, 450, 45);
  Image10.Visible = false;
  place(Picture1, &Frame5, 0, 0, 50, 375);
  Picture1.Visible = false;
  Picture1.BackColor = kWhite;
  for (PictureBox* p : {&Picture00, &Picture3, &Picture4}) {
    place(*p, &Frame5, 0, 0, 60, 360);
    p->Visible = false;
  }
  Line4.Container = &Frame5;
  Line4.BorderColor = kRed;
  Line4.Visible = true;
  frame9.Container = &Frame5;
  frame9.Filled = false;
  frame9.Visible = false;

  // Toolbar.
  place(Command69, &Frame8, 0, 0, 855, 495);
  Command69.Caption = "Undo";
  Command69.Visible = false;
  place(Command70, &Frame8, 870, 0, 855, 495);
  Command70.Caption = "Redo";
  Command70.Visible = false;
  place(Command16, &Frame8, 1740, 0, 615, 495);
  Command16.Caption = "Open";
  place(Command15, &Frame8, 2370, 0, 615, 495);
  Command15.Caption = "Save";
  Command15.Visible = false;
  // The result row: hidden until a result is shown.
  place(Check1, &Frame8, 3000, 0, 810, 390);
  Check1.Caption = "Round";
  Check1.Value = 1;
  Check1.Visible = false;
  Check1.BackColor = kBlack;
  Check1.ForeColor = kWhite;
  place(Gradusi, &Frame8, 3840, 0, 615, 510);
  Gradusi.Items = {"rad", "deg"};
  Gradusi.ListIndex = -1;
  Gradusi.Visible = false;
  place(Shape1, &Frame8, 3000, 0, 1455, 535);
  Shape1.Filled = false;
  Shape1.FillColor = kWhite;
  Shape1.Visible = false;
  // Text1, left of the "=" button, is placed with the evaluator's controls.
  place(Command17, &Frame6, 2640, 600, 375, 405);
  Command17.Caption = "=";
  place(Text8, &Frame6, 3000, 600, 1455, 405);
  Command17.Visible = false;
  Text8.Visible = false;
  place(Frame7, &Frame2, 3000, 2520, 1335, 1335);
  Frame7.BackColor = kBlack;
  Frame7.Visible = false;
  place(Command74, &Frame5, 0, 0, 1215, 375);
  Command74.Caption = "Ogradi Auto";
  Command74.Visible = false;

  // Panel.
  place(Command60, &Frame6, 360, 4680, 1095, 495);
  Command60.Caption = " BG --> En";
  Command60.Visible = false;
  place(Command61, &Frame6, 360, 4680, 1095, 495);
  Command61.Caption = "En --> BG";
  // Below the palette's last row, above the hotkey row.
  place(Label11, &Frame6, 3000, 5280, 1455, 255);
  Label11.Caption = "Изчистване  ";
  Label11.Visible = false;
  Label11.BackColor = kWhite;
  place(Command2, &Frame6, 1560, 4680, 615, 375);
  Command2.Caption = "Stop";
  Command2.Visible = false;
  Command3.Caption = "Start";
  Command3.Visible = false;
  // --- palette: the hotkey row -------------------------------------------------------------
  // Per key a name label and a picture at one spot, hidden until a binding is shown, and
  // its button 675 twips right of them.
  place(Label7, &Frame4, 0, 240, 675, 255);
  place(Label8, &Frame4, 1410, 240, 675, 255);
  place(Label9, &Frame4, 2850, 240, 675, 255);
  place(Image4, &Frame4, 0, 240, 345, 465);
  place(Image6, &Frame4, 1410, 240, 345, 465);
  place(Image7, &Frame4, 2850, 240, 345, 465);
  place(Command32, &Frame4, 675, 120, 495, 495);
  place(Command33, &Frame4, 2085, 120, 495, 495);
  place(Command34, &Frame4, 3525, 120, 495, 495);
  for (Label* l : {&Label7, &Label8, &Label9}) {
    l->BackColor = kBlack;
    l->ForeColor = kWhite;
    l->Alignment = 2;
    l->Visible = false;
  }
  for (Image* i : {&Image4, &Image6, &Image7}) {
    i->BackColor = kBlack;
    i->Visible = false;
  }
  // --- palette: the symbol buttons and the limits buttons -----------------------------------
  for (CommandButton* b : {&Command32, &Command33, &Command34}) {
    b->Style = 1;
    b->BackColor = kWhite;
  }
  for (const PaletteCell& cell : kPaletteCells) {
    CommandButton& b = this->*cell.button;
    place(b, &Frame6, cell.left, cell.top, kPaletteButtonSizeTw, kPaletteButtonSizeTw);
    b.Style = 1;
    b.BackColor = cell.code == 2015 ? kPaleYellow : kWhite;
  }
  for (const PaletteCell& cell : kLimitsCells) {
    CommandButton& b = this->*cell.button;
    place(b, &Frame6, cell.left, cell.top, kPaletteButtonSizeTw, kPaletteButtonSizeTw);
    b.Style = 1;
    b.BackColor = kWhite;
  }
  place(Command38, &Frame6, 360, 5280, 855, 255);
  Command38.Caption = "Show";
  Command38.Visible = false;
  // --- end of the palette's block -----------------------------------------------------------

  place(Check3, &Frame2, 120, 390, 3615, 210);
  Check3.Caption = "Пресмятане след знак  =";
  Check3.Value = 1;
  Check3.BackColor = kBlack;
  Check3.ForeColor = kWhite;
  place(Check2, &Frame2, 120, 480, 255, 255);
  Check2.Value = 1;
  Check2.Visible = false;
  place(Picture2, &Frame2, 120, 2400, 690, 480);
  Picture2.Visible = false;  // only holds the picture of the palette symbol chosen last
  place(Image12, &Frame2, 2280, 600, 690, 480);
  hintLabel(Label1, &Frame2, 3120, 720, 1425, "Степен");
  place(Image8, &Frame2, 1440, 600, 495, 480);
  hintLabel(Label2, &Frame2, 120, 720, 1215, "Долен индекс");
  Label1.BackColor = Label2.BackColor = 0xFFFFC0;
  place(Image1, &Frame2, 1440, 600, 495, 480);
  Image1.Visible = false;
  place(Image13, &Frame2, 1440, 600, 495, 480);
  Image13.Visible = false;

  place(Image14, &Frame2, 2280, 1680, 690, 480);
  hintLabel(Label10, &Frame2, 3120, 1800, 1425, "Дробна черта");
  hintLine(Line14, &Frame2, 2880, 1920, 3480, 1920);
  place(Image16, &Frame2, 1440, 1680, 690, 480);
  hintLabel(Label4, &Frame2, 120, 1800, 1080, "Под черта");
  hintLine(Line7, &Frame2, 1200, 1920, 1680, 1920);
  place(Image17, &Frame2, 2280, 1080, 690, 480);
  hintLabel(Label5, &Frame2, 3120, 1200, 1185, "След черта");
  hintLine(Line8, &Frame2, 2880, 1320, 3600, 1320);
  place(Image15, &Frame2, 1440, 1080, 690, 480);
  hintLabel(Label6, &Frame2, 120, 1200, 1080, "Над черта");
  hintLine(Line6, &Frame2, 960, 1320, 1680, 1320);
  for (Control* c : std::initializer_list<Control*>{&Image16, &Label4, &Line7, &Image17, &Label5,
                                                    &Line8, &Image15, &Label6, &Line6})
    c->Visible = false;
  for (Label* l : {&Label1, &Label2, &Label4, &Label5, &Label6, &Label10})
    l->Font = Font{"MS Sans Serif", 8.25, false, 204};

  place(Label15, &Frame2, 120, 3960, 4575, 255);
  Label15.Caption = "Copy и пресмятане ->  изтегляне с мишката";
  place(Label16, &Frame2, 120, 4260, 4575, 255);
  Label16.Caption = "Двоен клик - > запомня позиция";
  for (Label* l : {&Label15, &Label16}) {
    l->BackColor = kBlack;
    l->ForeColor = kWhite;
  }
  place(Command71, &Frame6, 960, 6480, 2895, 375);
  Command71.Caption = "Виртуална клавиатура";

  // Never shown.
  Command14.Visible = false;
  place(Command63, nullptr, 0, 0, 15, 15);
  Command63.Visible = true;  // lies behind the page
  for (Control* c : std::initializer_list<Control*>{&List1, &List2, &List3, &Text5, &Text7, &Text9,
                                                    &TextM1, &TextM2})
    c->Visible = false;
  Text5.setText("0");
  Text7.setText("False");
  Text9.setText("False");

  // --- evaluation ------------------------------------------------------------------------
  place(Text1, &Frame6, 360, 600, 2295, 405);
  Text1.Visible = false;
  place(Frame3, nullptr, 120, 6480, 4575, 1815);
  Frame3.Visible = false;
  place(comp, &Frame3, 120, 240, 2175, 285);
  place(Command11, &Frame3, 2400, 240, 375, 285);
  Command11.Caption = "=";
  place(Text12, &Frame3, 2880, 240, 1575, 285);
  place(Label55, &Frame3, 120, 600, 4335, 255);
  Label55.Visible = false;
  place(Label66, &Frame3, 120, 900, 1095, 255);
  place(Text19, &Frame3, 120, 1320, 2175, 285);
  Text19.setText("2^1^0+1^-^1^0");
  place(Command37, &Frame3, 2400, 1320, 375, 285);
  place(Text20, &Frame3, 2880, 1320, 1575, 285);
  add(Frame3);
  for (Control* c : std::initializer_list<Control*>{&comp, &Command11, &Text12, &Label55, &Label66,
                                                    &Text19, &Command37, &Text20})
    add(*c);
  // --- end of evaluation -----------------------------------------------------------------

  // Back to front. The panel lies lowest, then the page, the border frames, the
  // expression line and the toolbar on top.
  add(Command63);
  add(Frame6);
  add(Frame4);
  add(Label7);
  add(Label8);
  add(Label9);
  add(Image4);
  add(Image6);
  add(Image7);
  add(Command32);  // palette
  add(Command33);  // palette
  add(Command34);  // palette
  add(Frame2);
  for (Control* c : std::initializer_list<Control*>{
           &Check3,  &Check2,  &Picture2, &Image12, &Label1,  &Image8,  &Label2, &Image1,
           &Image13, &Image14, &Label10,  &Line14,  &Image16, &Label4,  &Line7,  &Image17,
           &Label5,  &Line8,   &Image15,  &Label6,  &Line6,   &Label15, &Label16})
    add(*c);
  // --- palette: the buttons, in the panel ---------------------------------------------------
  for (const PaletteCell& cell : kPaletteCells) add(this->*cell.button);
  for (const PaletteCell& cell : kLimitsCells) add(this->*cell.button);
  add(Command38);
  // --- end of the palette's block -----------------------------------------------------------
  add(Frame7);
  add(Command17);
  add(Text8);
  add(Command60);
  add(Command61);
  add(Command71);
  add(Label11);
  add(Command2);
  add(Text1);  // evaluation: the result row's expression box
  add(Frame5);
  add(Image10);
  add(Image2);
  add(Label3);
  add(Image3);
  add(Line4);
  add(Command74);
  add(frame9);
  add(Picture00);
  add(Picture3);
  add(Picture4);
  add(Picture1);
  add(Label19);
  add(label20);
  add(Label18);
  add(Label17);
  add(Shape2);
  add(Shape3);
  add(Text21);
  add(Frame8);
  add(Command69);
  add(Command70);
  add(Command16);
  add(Command15);
  add(Check1);
  add(Gradusi);
  add(Shape1);

  // --- pages: the page buttons, in the lower tool frame -------------------------------------
  // Three to a row under the hint images, the first page's button red.
  for (int k = 0; k < kPages; ++k) {
    CommandButton& b = Command72[static_cast<size_t>(k)];
    b.Index = k;
    place(b, &Frame2, 900 + (k % 3) * 660, 2400 + (k / 3) * 360, 645, 345);
    b.Caption = "Стр-" + std::to_string(k + 1);
    b.Style = 1;
    b.BackColor = k == 0 ? kRed : kWhite;
    add(b);
  }
  Text26.setText("1");
  Text26.Visible = false;
  add(Text26);
  // --- end of the pages' block --------------------------------------------------------------

  // --- editing: the move buttons, in a cross on Frame7; their arrows are pictures ----------
  struct MoveButtonCell {
    CommandButton* button;
    double left, top;
  };
  for (const MoveButtonCell& m :
       {MoveButtonCell{&Command67, 480, 120}, MoveButtonCell{&Command64, 120, 480},
        MoveButtonCell{&Command65, 840, 480}, MoveButtonCell{&Command68, 480, 840}}) {
    place(*m.button, &Frame7, m.left, m.top, 375, 375);
    m.button->Style = 1;
    m.button->BackColor = kWhite;
    add(*m.button);
  }
  // The toolbar's buttons show pictures, on a white face.
  for (CommandButton* b : {&Command69, &Command70, &Command16, &Command15}) {
    b->Style = 1;
    b->BackColor = kWhite;
  }
  // --- end of the editing block -------------------------------------------------------------
}

}  // namespace kel
