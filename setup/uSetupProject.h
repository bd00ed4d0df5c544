#pragma once
// The setup subsystem: the settings model of the project and base settings
// files, its checks and backups, the Save command and the generation of the
// project scripts.

#include "setup/backups.h"
#include "setup/checks.h"
#include "setup/editor_rows.h"
#include "setup/general_setting.h"
#include "setup/prefix_substitution.h"
#include "setup/save_command.h"
#include "setup/script_generation.h"
#include "setup/script_lines.h"
#include "setup/section_load.h"
#include "setup/section_save.h"
#include "setup/setup_model.h"
#include "setup/value_choosers.h"
