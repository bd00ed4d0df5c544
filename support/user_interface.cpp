#include "support/user_interface.h"

namespace tessel {

namespace {

TUserInterface* gMainWindow = nullptr;

}  // namespace

TUserInterface& MainWindow() {
  // Without a front end (tools, tests) nothing is shown and every question
  // is answered No / Cancel.
  static TSilentUserInterface silent;
  return gMainWindow ? *gMainWindow : silent;
}

void SetMainWindow(TUserInterface* ui) { gMainWindow = ui; }

}  // namespace tessel
