// What the tests of the views share: a gate that syncs the views whenever the model is
// left, as the backend's own does, and the widgets and windows that show a control.
#pragma once

#include <QPoint>
#include <QWidget>
#include <QWindow>

#include "platform/qt/views.h"

namespace kel::qt {

struct TestGate : ModelGate {
  void enterModel() override { ++d; }
  void leaveModel() override {
    --d;
    if (views) views->syncAll();
  }
  int depth() const override { return d; }
  ViewSync* views = nullptr;
  int d = 0;
};

// The template of a page's symbols: labels hidden until they are placed, small unless a
// test asks for the program's own caption size.
inline Label symbolTemplate(double fontSize = 8.25, int width = 150, int height = 210) {
  Label l("Label3");
  l.Caption = "x";
  l.Font = Font{"Arial", fontSize, false, 204};
  l.BackColor = kWhite;
  l.Width = width;
  l.Height = height;
  l.Visible = false;
  return l;
}

inline QWidget* widgetOf(Control& c) {
  auto* v = static_cast<ControlView*>(c.view.view.get());
  return v ? v->widget.data() : nullptr;
}

inline QWidget* widgetOf(Form& f) {
  auto* v = static_cast<FormView*>(f.view.view.get());
  return v ? v->widget.data() : nullptr;
}

// (QTRY_* report a failure to QtTest alone and end the test quietly: tests here wait with
// waitFor, tests/qt/test_time.h, and check with EXPECT.)

// Real pointer events come to the form's window, as these do.
inline QWindow* windowOf(Form& f) { return widgetOf(f)->windowHandle(); }

// A point of a control in its form's client area (it may have no widget of its own: an
// item its container's widget paints).
inline QPoint inForm(Form& f, Control& c, QPoint p) {
  const PaintedContent s = ViewSync::shown(c);
  if (s.widget) return s.widget->mapTo(widgetOf(f), p);
  return s.parent->mapTo(widgetOf(f), s.rect.topLeft() + p);
}

}  // namespace kel::qt
