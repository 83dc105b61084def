#include "services/user_hemisphere.h"

#include <algorithm>
#include <iterator>

namespace {

// Sorted, for a binary search.
const char* const kSouthernCountries[] = {
    "AO", "AQ", "AR", "AS", "AU", "BI", "BO", "BR", "BV", "BW", "CC", "CD", "CG", "CK", "CL", "CX",
    "EC", "FJ", "FK", "GA", "GS", "HM", "ID", "IO", "KM", "LS", "MG", "MU", "MW", "MZ", "NA", "NC",
    "NF", "NR", "NU", "NZ", "PE", "PF", "PG", "PN", "PY", "RE", "RW", "SB", "SC", "SH", "SZ", "TF",
    "TK", "TL", "TO", "TV", "TZ", "UY", "VU", "WF", "WS", "YT", "ZA", "ZM", "ZW",
};

}  // namespace

bool IsSouthernCountryCode(const std::string& iso2) {
    return std::binary_search(std::begin(kSouthernCountries), std::end(kSouthernCountries), iso2,
                              [](const std::string& a, const std::string& b) { return a < b; });
}
