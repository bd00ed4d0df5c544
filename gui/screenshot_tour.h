#pragma once
// Pictures of the windows for the documentation: started by
// scripts/screenshots.sh through the environment variable
// TESSEL_SCREENSHOTS (the directory for the pictures). The program builds
// the current project with "Make all", saves the main window, the setup
// window on two pages and the dependency dialog as PNG files, and ends.

#include <QString>
#include <memory>

#include "support/user_interface.h"

namespace tessel {

class TfrmMain;

inline constexpr const char* ScreenshotVariable = "TESSEL_SCREENSHOTS";

// Boxes are not shown during the tour: their texts go to standard error and
// every question is answered No / Cancel.
std::unique_ptr<TUserInterface> NewScreenshotDialogs();

// Runs the tour once the event loop runs; quits the application at its end.
void StartScreenshotTour(TfrmMain& window, const QString& directory);

}  // namespace tessel
