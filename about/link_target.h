#pragma once

#include <string_view>

// Whether a link target of the About page may be handed to the shell: only web and mail
// addresses ("http:", "https:", "mailto:", in any letter case) with no white space, control
// characters or quotes, so that a page cannot start a program or open a local file.
bool IsSafeLinkTarget(std::string_view target);
