// tessel: the desktop program.

#include <QApplication>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "gui/main_window.h"
#include "gui/screenshot_tour.h"
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

  const QString screenshots = qEnvironmentVariable(tessel::ScreenshotVariable);
  std::unique_ptr<tessel::TUserInterface> tourDialogs;
  if (!screenshots.isEmpty()) tourDialogs = tessel::NewScreenshotDialogs();

  tessel::TfrmMain window(tessel::TMainCoreConfig::FromAppEnv(), tourDialogs.get());
  tessel::SetMainWindow(&window);
  // The last project's checks may ask before the window shows.
  window.Startup();
  window.show();
  if (!screenshots.isEmpty()) tessel::StartScreenshotTour(window, screenshots);
  const int result = app.exec();
  tessel::SetMainWindow(nullptr);
  return result;
}
