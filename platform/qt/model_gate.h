// The door through which Qt events and timer batches enter the program's model.
//
// Entering takes a fresh snapshot of the keyboard and the pointer; leaving brings the
// widgets in line with the model and re-arms the scheduler's timer. Entries nest (a
// modal dialog spins an event loop inside a tick); every leave syncs.
#pragma once

#include <exception>

namespace kel::qt {

class ModelGate {
 public:
  virtual ~ModelGate() = default;
  virtual void enterModel() = 0;
  virtual void leaveModel() = 0;
  virtual int depth() const = 0;

  // Runs model code. A handler's failure ends that event only, as a tick's failure
  // ends that tick: it never reaches Qt's event loop.
  template <class F>
  void run(F&& f) {
    enterModel();
    try {
      f();
    } catch (const std::exception&) {
    }
    leaveModel();
  }
};

}  // namespace kel::qt
