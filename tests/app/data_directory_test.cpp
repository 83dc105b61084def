#include <gtest/gtest.h>

#include <string>

#include "services/data_directory.h"
#include "wallpaper/wallpaper_maker.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

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

struct JoinCase {
    const char* programPath;
    const char* joined;
};

TEST(DataDirectoryTest, JoinsDriveDirectoryAndDataStep) {
    const JoinCase cases[] = {
        {"\"C:\\Program Files\\Tool\\bin\\tool.exe\"", "C:\\Program Files\\Tool\\bin\\..\\data\\"},
        {"\"C:\\a b\\tool.exe\" -x", "C:\\a b\\..\\data\\"},
        {"C:\\Tools\\tool.exe", "C:\\Tools\\..\\data\\"},
        {"D:\\tool.exe", "D:\\..\\data\\"},
        {"tool.exe", "..\\data\\"},
        {"C:tool.exe", "C:..\\data\\"},
        {"C:/apps/bin/tool.exe", "C:/apps/bin/..\\data\\"},
        {"\\\\server\\share\\bin\\tool.exe", "\\\\server\\share\\bin\\..\\data\\"},
        {"", "..\\data\\"},
    };
    for (const JoinCase& c : cases) {
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
    EXPECT_EQ(Resolve("C:\\Tools\\tool.exe"), "C:\\data\\");
    EXPECT_EQ(Resolve("D:\\tool.exe"), "D:\\data\\");
    EXPECT_EQ(Resolve("C:/apps/bin/tool.exe"), "C:\\apps\\data\\");

    // A long directory that still fits the path limit is resolved, not cut short.
    const std::string longDirectory = "C:\\" + std::string(240, 'a') + "\\";
    EXPECT_EQ(Resolve(longDirectory + "bin\\tool.exe"), longDirectory + "data\\");
    // One that does not fit gives no directory at all.
    EXPECT_EQ(Resolve("C:\\" + std::string(260, 'a') + "\\bin\\tool.exe"), "");
}

std::string ProgramPathForTest() {
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length);
}

bool ChangeDirectory(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

const char kSeparator = '\\';

#else

std::string ProgramPathForTest() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

bool ChangeDirectory(const std::string& path) {
    return chdir(path.c_str()) == 0;
}

const char kSeparator = '/';

#endif

TEST(DataDirectoryPlatformTest, MakerResolvesOnceBesideTheProgramDirectory) {
    const std::string program = ProgramPathForTest();
    const std::string programDirectory = program.substr(0, program.find_last_of(kSeparator));
    const std::string expected =
        programDirectory.substr(0, programDirectory.find_last_of(kSeparator) + 1) + "data" + std::string(1, kSeparator);

    const std::string first = CWallpaperMaker().GetDataDirectory().string();
    EXPECT_EQ(first, expected);

    // A later maker keeps the directory even when the current directory has moved.
    ASSERT_TRUE(ChangeDirectory(programDirectory + kSeparator + ".."));
    EXPECT_EQ(CWallpaperMaker().GetDataDirectory().string(), first);
}

}  // namespace
