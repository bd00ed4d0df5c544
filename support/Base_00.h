#pragma once
// Chief header of the support library's base unit: application environment,
// text helpers, date-time helpers.

#include "support/app_env.h"
#include "support/date_time.h"
#include "support/text.h"
