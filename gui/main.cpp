// tessel: the desktop program.

#include <QApplication>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "gui/main_window.h"
#include "support/app_env.h"

int main(int argc, char** argv) {
  // Qt takes its own options (-platform ...) out first; every other
  // argument is a start-up parameter KEY=VALUE.
  QApplication app(argc, argv);
  std::vector<std::string> parameters(argv + 1, argv + argc);
  try {
    tessel::PreLoadAppEnv(parameters);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tessel: %s\n", error.what());
    return 2;
  }
  tessel::TfrmMain window;
  tessel::SetMainWindow(&window);
  // The last project's checks may ask before the window shows.
  window.Startup();
  window.show();
  const int result = app.exec();
  tessel::SetMainWindow(nullptr);
  return result;
}
