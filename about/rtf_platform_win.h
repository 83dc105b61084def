#pragma once

#include <windows.h>

#include "about/rtf_platform.h"
#include "about/rtf_tables.h"

// A font-table entry from the platform's logical-font record.
LogicalFont LogicalFontFromLogFont(const LOGFONTA& font);

// The running system's answers.
const IRtfPlatform& SystemRtfPlatform();
