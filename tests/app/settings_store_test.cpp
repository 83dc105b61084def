#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/app_settings.h"
#include "app/registry_key.h"

namespace {

const char kKeyPath[] = "Software\\Quellwick";

// A store of its own on any key, read afresh at construction.
class TestSettings : public AppSettings {
public:
    explicit TestSettings(HKEY root = HKEY_CURRENT_USER) : AppSettings(root, kKeyPath) {}
};

bool KeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void StoreRaw(const char* name, DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
    RegCloseKey(key);
}

void StoreDword(const char* name, DWORD value) {
    StoreRaw(name, REG_DWORD, std::vector<BYTE>(reinterpret_cast<BYTE*>(&value), reinterpret_cast<BYTE*>(&value + 1)));
}

struct RawValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

// Reads a value through a handle of its own, as another program would.
RawValue ReadRaw(const char* name) {
    RawValue result;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return result;
    BYTE buffer[64];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key, name, nullptr, &result.type, buffer, &size) == ERROR_SUCCESS) {
        result.present = true;
        result.data.assign(buffer, buffer + size);
    }
    RegCloseKey(key);
    return result;
}

DWORD AsDword(const RawValue& value) {
    DWORD number = 0;
    memcpy(&number, value.data.data(), value.data.size() < 4 ? value.data.size() : 4);
    return number;
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
    EXPECT_EQ(settings.GetAnnotate(), 0);
    EXPECT_EQ(settings.GetMoonType(), 0);
    EXPECT_EQ(settings.GetSelectedMoon(), 0);
    EXPECT_FALSE(KeyExists());

    // The first write creates the key and stores only the value that changed.
    settings.SetMoonType(1);
    EXPECT_EQ(settings.GetMoonType(), 1);
    const RawValue moonType = ReadRaw("MoonType");
    ASSERT_TRUE(moonType.present);
    EXPECT_EQ(moonType.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(AsDword(moonType), 1u);
    EXPECT_FALSE(ReadRaw("Annotate").present);
    EXPECT_FALSE(ReadRaw("SelectedMoon").present);
}

struct StoredCase {
    const char* what;
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    int annotate;
    int moonType;
    int selectedMoon;
};

TEST_F(SettingsStoreTest, ReadsStoredValuesOnce) {
    const StoredCase cases[] = {
        {"only Annotate", "Annotate", REG_DWORD, {1, 0, 0, 0}, 1, 0, 0},
        {"MoonType 2 kept", "MoonType", REG_DWORD, {2, 0, 0, 0}, 0, 2, 0},
        {"SelectedMoon beyond any catalogue", "SelectedMoon", REG_DWORD, {0x40, 0x42, 0x0F, 0}, 0, 0, 1000000},
        {"negative number", "SelectedMoon", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, 0, 0, -1},
        {"one byte of binary", "Annotate", REG_BINARY, {1}, 1, 0, 0},
        {"two bytes of binary", "SelectedMoon", REG_BINARY, {0x34, 0x12}, 0, 0, 0x1234},
        {"more than four bytes", "MoonType", REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}, 0, 0, 0},
        {"a 64-bit number", "SelectedMoon", REG_QWORD, {7, 0, 0, 0, 0, 0, 0, 0}, 0, 0, 0},
    };
    for (const StoredCase& c : cases) {
        RemoveKey();
        StoreRaw(c.name, c.type, c.data);
        TestSettings settings;
        EXPECT_EQ(settings.GetAnnotate(), c.annotate) << c.what;
        EXPECT_EQ(settings.GetMoonType(), c.moonType) << c.what;
        EXPECT_EQ(settings.GetSelectedMoon(), c.selectedMoon) << c.what;

        // Later changes by others are not seen by a store that has read already.
        StoreDword("Annotate", 9);
        EXPECT_EQ(settings.GetAnnotate(), c.annotate) << c.what;
    }
}

TEST_F(SettingsStoreTest, EachSetterWritesThroughAtOnce) {
    StoreDword("Annotate", 5);
    TestSettings settings;
    EXPECT_EQ(settings.GetAnnotate(), 5);

    settings.SetSelectedMoon(7);
    RawValue selected = ReadRaw("SelectedMoon");
    ASSERT_TRUE(selected.present);
    EXPECT_EQ(selected.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(selected.data.size(), 4u);
    EXPECT_EQ(AsDword(selected), 7u);
    EXPECT_EQ(AsDword(ReadRaw("Annotate")), 5u);
    EXPECT_FALSE(ReadRaw("MoonType").present);

    settings.SetAnnotate(0);
    settings.SetMoonType(1);
    settings.SetSelectedMoon(-3);
    EXPECT_EQ(AsDword(ReadRaw("Annotate")), 0u);
    EXPECT_EQ(AsDword(ReadRaw("MoonType")), 1u);
    EXPECT_EQ(AsDword(ReadRaw("SelectedMoon")), 0xFFFFFFFDu);

    // A new store reads back what the setters wrote.
    TestSettings reread;
    EXPECT_EQ(reread.GetAnnotate(), 0);
    EXPECT_EQ(reread.GetMoonType(), 1);
    EXPECT_EQ(reread.GetSelectedMoon(), -3);
}

TEST_F(SettingsStoreTest, UnwritableKeyKeepsNewValuesInMemory) {
    // Through a read-only handle the key can be neither opened with full access (it is
    // missing) nor created.
    HKEY readOnlyRoot = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &readOnlyRoot), ERROR_SUCCESS);
    {
        TestSettings settings(readOnlyRoot);
        settings.SetAnnotate(1);
        settings.SetMoonType(1);
        settings.SetSelectedMoon(4);
        EXPECT_EQ(settings.GetAnnotate(), 1);
        EXPECT_EQ(settings.GetMoonType(), 1);
        EXPECT_EQ(settings.GetSelectedMoon(), 4);
    }
    RegCloseKey(readOnlyRoot);
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsStoreTest, RegistryKeyOpensCreatesWritesAndReads) {
    CRegistryKey key;
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, kKeyPath));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(KeyExists());

    ASSERT_TRUE(key.CreateKey(HKEY_CURRENT_USER, kKeyPath));
    EXPECT_TRUE(key.IsOpen());
    EXPECT_TRUE(key.WriteDword("Number", 0x01020304));
    EXPECT_TRUE(key.WriteString("Style", "2"));

    DWORD value = 99;
    EXPECT_TRUE(key.ReadDword("Number", &value));
    EXPECT_EQ(value, 0x01020304u);
    value = 99;
    EXPECT_FALSE(key.ReadDword("Missing", &value));
    EXPECT_EQ(value, 0u);

    const RawValue style = ReadRaw("Style");
    ASSERT_TRUE(style.present);
    EXPECT_EQ(style.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(style.data, (std::vector<BYTE>{'2', 0}));

    // CreateKey opens a key that exists; closing twice is harmless.
    CRegistryKey again;
    EXPECT_TRUE(again.CreateKey(HKEY_CURRENT_USER, kKeyPath));
    again.Close();
    again.Close();
    EXPECT_FALSE(again.IsOpen());
    EXPECT_FALSE(again.WriteDword("Number", 1));
}

TEST_F(SettingsStoreTest, WriteToDeletedKeyFails) {
    CRegistryKey key;
    ASSERT_TRUE(key.CreateKey(HKEY_CURRENT_USER, kKeyPath));
    RemoveKey();
    EXPECT_FALSE(key.WriteDword("Annotate", 1));
    EXPECT_FALSE(key.WriteString("Style", "2"));
    EXPECT_FALSE(KeyExists());
}

}  // namespace
