#pragma once

#include <string>

// Drops leading white space and shrinks every run of white space to its first character;
// line feeds and carriage returns become spaces first.
std::string NormalizeWhitespace(const std::string& text);

// Replaces each "<br>" marker (lower case only) with CR LF.
std::string ExpandLineBreaks(const std::string& text);
