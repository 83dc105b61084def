#pragma once

#include <filesystem>

#include "catalog/moon_catalog.h"

// Parses the catalogue file at `path` into `catalog`'s list, in file order, with the
// platform's XML reader (MSXML's SAX reader on Windows, expat elsewhere). Returns a result
// code, negative on failure; a failed load leaves the list as it was.
long LoadMoonCatalog(CMoonCatalog& catalog, const std::filesystem::path& path);
