#pragma once

#include "win/imaging_win.h"

#include <string>

// The encoder whose extension list holds "*" + `extension` (for example ".bmp"), case
// ignored. The library's encoder list is fetched on the first call and kept for the life
// of the process.
bool FindEncoderForExtension(const std::wstring& extension, CLSID* clsid);
