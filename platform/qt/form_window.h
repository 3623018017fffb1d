// A form's view and the top-level widget that is its client area (form_window.cpp).
#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <string>
#include <unordered_map>

#include "platform/forms.h"
#include "platform/qt/control_view.h"

namespace kel::qt {

class ViewSync;

class FormView;

// The client area of a form, as a top-level window.
class FormWidget : public QWidget {
 public:
  FormWidget(ViewSync& sync, FormView& v) : QWidget(nullptr), sync_(sync), view(&v) {}
  ViewSync& sync_;
  FormView* view;  // cleared when the view goes
  QColor back{240, 240, 240};

 protected:
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
};

class FormView {
 public:
  FormView(ViewSync& sync, Form& f);
  ~FormView();
  FormView(const FormView&) = delete;
  FormView& operator=(const FormView&) = delete;

  Form* form;
  QPointer<FormWidget> widget;
  ChildStack children;
  bool everShown = false;  // the first show runs the resize event
  // The controls were walked once: from then on the change log says what to touch.
  bool walked = false;
  bool topmost = false;

  // The client rectangle the model asks for, and the shift the window manager has
  // been found to add to a requested position.
  QRect target;
  QPoint correction;
  int placing = 0;  // corrections still allowed for the last request
  QElapsedTimer placingSince;
  bool checkQueued = false;
  bool minimizeSeen = false;            // the window was minimised since the last check
  bool releaseEndsDoubleClick = false;  // the release that ends a double click is no click
  // The control that captured the mouse (a form that CapturesMouse), until the buttons are up.
  Control* captured = nullptr;

 private:
  friend class ViewSync;
  friend class FormWidget;
  std::string caption_;
  Colour back_ = 0;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool geometryApplied_ = false;
  bool visible_ = false;
  WindowState state_ = WindowState::Normal;
  bool sizable_ = true;
  Picture icon_;
  Colour colourKey_ = 0;
  bool hasColourKey_ = false;
  bool maskDirty_ = false;
  // Where each layer lies, for the stacking key.
  std::unordered_map<const void*, int> layerOf_;
  std::size_t layersSeen_ = 0;
};

}  // namespace kel::qt
