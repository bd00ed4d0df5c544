#pragma once
// The Save command of the setup window: when the editors hold changes, back
// up both settings files, check the general parameters and store every
// section; in every case then regenerate the scripts.

#include "setup/setup_model.h"
#include "support/user_interface.h"

namespace tessel {

// True when the scripts were generated (the success box was shown). False
// when the general-parameter check or the generation's checks refused, or a
// script kept its old content. A backup that cannot be made is shown in a
// warning box and the Save goes on.
// Errors while storing or writing throw; the snapshot is refreshed first.
bool RunSaveCommand(TSetupModel& model, TUserInterface& ui);

}  // namespace tessel
