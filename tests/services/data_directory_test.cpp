#include <gtest/gtest.h>

#include <string>

#include "services/data_directory.h"

namespace {

// Records the text handed to the full-path step and answers with a marked copy of it.
struct RecordingFullPath {
    std::string* seen;
    bool operator()(const std::filesystem::path& path, std::filesystem::path* fullPath) const {
        *seen = path.string();
        *fullPath = "full:" + *seen;
        return true;
    }
};

TEST(DataDirectoryTest, JoinsDriveDirectoryAndDataStep) {
    const struct {
        const char* programPath;
        const char* joined;
    } cases[] = {
        {"\"C:\\Program Files\\Tool\\bin\\tool.exe\"", "C:\\Program Files\\Tool\\bin\\..\\data\\"},
        {"\"C:\\a b\\tool.exe\" -x", "C:\\a b\\..\\data\\"},
        {"D:\\tool.exe", "D:\\..\\data\\"},
        {"tool.exe", "..\\data\\"},
        {"C:tool.exe", "C:..\\data\\"},
        {"C:/apps/bin/tool.exe", "C:/apps/bin/..\\data\\"},
        {"\\\\server\\share\\bin\\tool.exe", "\\\\server\\share\\bin\\..\\data\\"},
        {"", "..\\data\\"},
    };
    for (const auto& c : cases) {
        std::string seen;
        const std::string result = ResolveDataDirectory(c.programPath, RecordingFullPath{&seen}).string();
        EXPECT_EQ(seen, c.joined) << c.programPath;
        EXPECT_EQ(result, std::string("full:") + c.joined) << c.programPath;
    }
}

#ifdef _WIN32

std::string Resolve(const std::string& programPath) {
    return ResolveDataDirectory(programPath, PlatformFullPath).string();
}

TEST(DataDirectoryPlatformTest, ResolvesWithThePlatformFullPath) {
    EXPECT_EQ(Resolve("\"C:\\Program Files\\Tool\\bin\\tool.exe\""), "C:\\Program Files\\Tool\\data\\");
    EXPECT_EQ(Resolve("C:/apps/bin/tool.exe"), "C:\\apps\\data\\");

    // A long directory that still fits the path limit is resolved, not cut short.
    const std::string longDirectory = "C:\\" + std::string(240, 'a') + "\\";
    EXPECT_EQ(Resolve(longDirectory + "bin\\tool.exe"), longDirectory + "data\\");
    // One that does not fit gives no directory at all.
    EXPECT_EQ(Resolve("C:\\" + std::string(260, 'a') + "\\bin\\tool.exe"), "");
}

#endif

}  // namespace
