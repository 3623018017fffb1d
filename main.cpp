// The real program: the Qt desktop, real time, and the program's forms.
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/program.h"
#include "platform/files.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/quit_signals.h"
#include "platform/qt/scheduler_driver.h"
#include "platform/qt/x11_input.h"

namespace {

// What the exit hook must reach. Qt ends the process with exit() as soon as its own X
// connection breaks, from inside its event loop: main never gets control back, and the
// program on main's stack (still alive, exit() unwinds nothing) would end unsaved. Set
// once the program runs, cleared once it has closed normally; touched by nothing else.
struct AtExit {
  kel::qt::QtDesktop* desktop;
  kel::Program* program;
};
AtExit* atExit = nullptr;

extern "C" void closeAtExit() {
  AtExit* a = atExit;
  atExit = nullptr;
  if (!a) return;
  // Whatever ends the process, the server may be gone: the unload step runs on the
  // model alone and writes the options file.
  a->desktop->loseDisplay();
  a->desktop->run([a] { a->program->close(); });
}

// The folder of the executable: the options file and Simbol/ live beside it.
std::string programFolder(const char* argv0) {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string exe =
      n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(argv0 ? argv0 : "");
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : exe.substr(0, slash);
}

}  // namespace

int main(int argc, char** argv) {
  // A write past the file-size limit (a quota, ulimit -f) then fails, and the save says so
  // and keeps the pages; by default the signal would end the program with them unsaved.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, nullptr);

  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) {
    std::fprintf(stderr,
                 "kelvarin: no X display (DISPLAY is not set); start it from an X11 desktop "
                 "session.\n");
    return 1;
  }
  _XDisplay* connection = kel::qt::openDisplay();
  if (!connection) {
    std::fprintf(stderr, "kelvarin: cannot connect to the X display \"%s\".\n", display);
    return 1;
  }

  kel::qt::prepareQtEnvironment();
  QApplication app(argc, argv);
  kel::qt::configureApplication();

  int status = 0;
  {
    kel::qt::QtClock clock;
    // Start-up is one instant for the timers: those switched on by the load step and
    // those switched on by the first show count from the same time, and share wake-ups.
    clock.hold(clock.now(), 10000.0);
    kel::Scheduler scheduler(clock);
    kel::qt::QtDesktop desktop(std::make_unique<kel::qt::X11Input>(connection));
    desktop.drive(scheduler, clock);
    kel::LocalFiles files(programFolder(argc > 0 ? argv[0] : nullptr), kel::userStateFolder());
    kel::Program program(desktop, files, scheduler);
    desktop.setMainForm(program.Form1);

    // A desktop session ends its programs with SIGTERM, a terminal with SIGINT (Ctrl+C)
    // or SIGHUP (the terminal or the session closed): the main window closes as by its
    // close button, so the options file is written; a box open then is dismissed first.
    kel::qt::QuitSignals quitSignals([&] { desktop.endRun([&] { program.close(); }); });
    if (!quitSignals.installed()) {
      std::perror("kelvarin: pipe");
      return 1;
    }

    // The X server went away (ended, killed, the session's server crashed): the options
    // are saved at once, without it, and the program ends. Found by our own connection
    // here; by Qt's connection through the exit hook, whichever comes first.
    desktop.whenDisplayLost = [&] {
      std::fprintf(stderr, "kelvarin: the connection to the X display broke.\n");
      desktop.run([&] { program.close(); });
    };
    AtExit hook{&desktop, &program};
    atExit = &hook;
    std::atexit(closeAtExit);

    desktop.run([&] { program.start(); });
    clock.release();
    // Another run has this folder: it was raised and told about, and this one ends here.
    if (!program.leftToOtherRun()) status = app.exec();
    desktop.run([&] { program.close(); });
    atExit = nullptr;
    if (desktop.displayLost()) status = 1;
  }
  // The widgets the views let go of are deleted before the application goes.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return status;
}
