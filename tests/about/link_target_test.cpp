// Which link targets of the About page may be opened.
#include <gtest/gtest.h>

#include "about/link_target.h"

namespace {

TEST(IsSafeLinkTarget, OpensWebAndMailAddresses) {
    for (const char* target : {"http://example.org/", "https://example.org/a?b=c&d=e#f", "mailto:moon@example.org",
                               "HTTPS://EXAMPLE.ORG/", "Mailto:moon@example.org", "http:", "https:x"}) {
        EXPECT_TRUE(IsSafeLinkTarget(target)) << target;
    }
}

TEST(IsSafeLinkTarget, RefusesProgramsFilesAndOtherSchemes) {
    for (const char* target :
         {"", "c:\\windows\\system32\\calc.exe", "calc.exe", "calc", "file:///c:/windows/win.ini",
          "\\\\server\\share\\x", "javascript:alert(1)", "ftp://example.org/", "shell:startup",
          "ms-settings:", "notepad http://example.org/", "http", "https//example.org", "mailto", " http://example.org/",
          "\thttp://example.org/", "httpx://a", "about.html", "res://shell32.dll/1"}) {
        EXPECT_FALSE(IsSafeLinkTarget(target)) << target;
    }
}

TEST(IsSafeLinkTarget, RefusesAddressesThatCouldCarryArguments) {
    for (const char* target : {"http://example.org/ -x", "http://example.org/\" --flag", "https://a\tb", "https://a\nb",
                               "mailto:a@b\r", "http://a\x7f"}) {
        EXPECT_FALSE(IsSafeLinkTarget(target)) << target;
    }
    EXPECT_TRUE(IsSafeLinkTarget("http://example.org/caf\xE9")) << "8-bit text is kept";
}

}  // namespace
