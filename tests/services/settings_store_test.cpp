#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <string>
#include <utility>
#include <vector>

#include "services/app_settings.h"

namespace {

const char kKeyPath[] = "Software\\Quellwick";

// A store of its own, read afresh at construction.
class TestSettings : public AppSettings {
public:
    TestSettings() : AppSettings(HKEY_CURRENT_USER, kKeyPath) {}
};

bool KeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A registry value's type and bytes; type REG_NONE when it is missing.
using Raw = std::pair<DWORD, std::vector<BYTE>>;
const Raw kMissing{REG_NONE, {}};

Raw Dword(DWORD value) {
    return {REG_DWORD, {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}};
}

void Store(const char* name, const Raw& value) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, kKeyPath, name, value.first, value.second.data(),
                                             static_cast<DWORD>(value.second.size())));
}

// Reads a value through a handle of its own, as another program would.
Raw Read(const char* name) {
    BYTE buffer[64];
    DWORD size = sizeof buffer, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kKeyPath, name, RRF_RT_ANY, &type, buffer, &size) != ERROR_SUCCESS)
        return kMissing;
    return {type, std::vector<BYTE>(buffer, buffer + size)};
}

// Every test starts and ends without the settings key.
class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override { RemoveKey(); }
    void TearDown() override { RemoveKey(); }
    static void RemoveKey() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kKeyPath);
        ASSERT_FALSE(KeyExists());
    }
};

TEST_F(SettingsStoreTest, FirstRunReadsZerosWithoutCreatingTheKey) {
    AppSettings& settings = AppSettings::Instance();
    EXPECT_EQ(&settings, &AppSettings::Instance());
    EXPECT_TRUE(settings.GetAnnotate() == 0 && settings.GetMoonType() == 0 && settings.GetSelectedMoon() == 0);
    EXPECT_FALSE(KeyExists());

    // The first write creates the key and stores only the value that changed; each later
    // one writes through at once.
    settings.SetMoonType(1);
    EXPECT_EQ(settings.GetMoonType(), 1);
    EXPECT_EQ(Dword(1), Read("MoonType"));
    EXPECT_EQ(kMissing, Read("Annotate"));
    EXPECT_EQ(kMissing, Read("SelectedMoon"));
    settings.SetSelectedMoon(-3);
    EXPECT_EQ(Dword(0xFFFFFFFD), Read("SelectedMoon"));
    settings.SetAnnotate(1);
    const TestSettings reread;
    EXPECT_TRUE(reread.GetAnnotate() == 1 && reread.GetMoonType() == 1 && reread.GetSelectedMoon() == -3);
}

TEST_F(SettingsStoreTest, ReadsOnlyFourByteNumbers) {
    const struct {
        const char* what;
        const char* name;
        Raw value;
        int annotate, moonType, selectedMoon;
    } cases[] = {
        {"only Annotate", "Annotate", Dword(1), 1, 0, 0},
        {"MoonType 2 kept", "MoonType", Dword(2), 0, 2, 0},
        {"SelectedMoon beyond any catalogue", "SelectedMoon", Dword(1000000), 0, 0, 1000000},
        {"negative number", "SelectedMoon", Dword(0xFFFFFFFF), 0, 0, -1},
        // Any other type or size reads as the default.
        {"text", "MoonType", {REG_SZ, {'1', 0}}, 0, 0, 0},
        {"four bytes of binary", "Annotate", {REG_BINARY, {1, 0, 0, 0}}, 0, 0, 0},
        {"a short number", "SelectedMoon", {REG_DWORD, {0x34, 0x12}}, 0, 0, 0},
        {"more than four bytes", "MoonType", {REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}}, 0, 0, 0},
        {"a 64-bit number", "SelectedMoon", {REG_QWORD, {7, 0, 0, 0, 0, 0, 0, 0}}, 0, 0, 0},
    };
    for (const auto& c : cases) {
        RemoveKey();
        Store(c.name, c.value);
        TestSettings settings;
        EXPECT_EQ(settings.GetAnnotate(), c.annotate) << c.what;
        EXPECT_EQ(settings.GetMoonType(), c.moonType) << c.what;
        EXPECT_EQ(settings.GetSelectedMoon(), c.selectedMoon) << c.what;
    }
}

// Grants everyone `rights` on the settings key, and the right to change them again.
bool SetKeyRights(DWORD rights) {
    const std::string text = "D:(A;;" + std::to_string(rights | WRITE_DAC) + ";;;WD)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    HKEY key = nullptr;
    bool set =
        ConvertStringSecurityDescriptorToSecurityDescriptorA(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr) &&
        RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, WRITE_DAC, &key) == ERROR_SUCCESS;
    set = set && RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    if (key)
        RegCloseKey(key);
    LocalFree(descriptor);
    return set;
}

TEST_F(SettingsStoreTest, AKeyTheUserMayOnlyReadIsRead) {
    Store("SelectedMoon", Dword(7));
    ASSERT_TRUE(SetKeyRights(KEY_READ));
    HKEY full = nullptr;
    ASSERT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_ALL_ACCESS, &full));
    EXPECT_EQ(7, TestSettings().GetSelectedMoon());
    ASSERT_TRUE(SetKeyRights(KEY_ALL_ACCESS));
}

}  // namespace
