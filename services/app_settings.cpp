#include "services/app_settings.h"

#include <utility>

#include "services/user_hemisphere.h"
#include "win/registry_key.h"

namespace {

const char kAnnotateValue[] = "Annotate";
const char kMoonTypeValue[] = "MoonType";
const char kSelectedMoonValue[] = "SelectedMoon";
const char kSouthernViewValue[] = "SouthernView";
const char kLiveMoonValue[] = "LiveMoon";
const char kAsInSkyValue[] = "AsInSky";
const char kPlaceValue[] = "Place";
const char kLatitudeValue[] = "Latitude";
const char kLongitudeValue[] = "Longitude";

int ReadSetting(CRegistryKey& key, const char* name) {
    DWORD value = 0;
    key.ReadDword(name, &value);
    return static_cast<int>(value);
}

bool ReadCoordinate(CRegistryKey& key, const char* name, double limit, double* degrees) {
    std::string text;
    return key.ReadString(name, &text) && ParseCoordinate(text, limit, degrees);
}

}  // namespace

AppSettings& AppSettings::Instance() {
    static AppSettings settings(HKEY_CURRENT_USER, "Software\\Quellwick");
    return settings;
}

AppSettings::AppSettings(HKEY root, std::string subKey) : rootKey(root), subKeyPath(std::move(subKey)) {
    CRegistryKey key;
    DWORD southern = 0;
    const bool opened = key.Open(rootKey, subKeyPath.c_str(), KEY_READ);
    if (opened) {
        annotate = ReadSetting(key, kAnnotateValue);
        moonType = ReadSetting(key, kMoonTypeValue);
        selectedMoon = ReadSetting(key, kSelectedMoonValue);
        liveMoon = ReadSetting(key, kLiveMoonValue);
        asInSky = ReadSetting(key, kAsInSkyValue);
        // A place is the user's only with both coordinates; its name may be empty.
        GeoPlace& place = ownPlace.place;
        hasOwnPlace = ReadCoordinate(key, kLatitudeValue, 90.0, &place.latitudeDeg) &&
                      ReadCoordinate(key, kLongitudeValue, 180.0, &place.longitudeDeg);
        key.ReadString(kPlaceValue, &ownPlace.name);
    }
    if (opened && key.ReadDword(kSouthernViewValue, &southern))
        southernView = static_cast<int>(southern);
    else
        southernView = UserCountryIsSouthern() ? 1 : 0;
}

void AppSettings::SetAnnotate(int value) {
    annotate = value;
    Persist(kAnnotateValue, value);
}

void AppSettings::SetMoonType(int value) {
    moonType = value;
    Persist(kMoonTypeValue, value);
}

void AppSettings::SetLiveMoon(int value) {
    liveMoon = value;
    Persist(kLiveMoonValue, value);
}

void AppSettings::SetAsInSky(int value) {
    asInSky = value;
    Persist(kAsInSkyValue, value);
}

void AppSettings::SetSelectedMoon(int value) {
    selectedMoon = value;
    Persist(kSelectedMoonValue, value);
}

void AppSettings::SetSouthernView(int value) {
    southernView = value;
    Persist(kSouthernViewValue, value);
}

void AppSettings::SetPlace(const NamedPlace& place) {
    hasOwnPlace = true;
    ownPlace = place;
    CRegistryKey key;
    if (OpenForWriting(key)) {
        key.WriteString(kPlaceValue, place.name);
        key.WriteString(kLatitudeValue, CoordinateValueText(place.place.latitudeDeg));
        key.WriteString(kLongitudeValue, CoordinateValueText(place.place.longitudeDeg));
    }
}

void AppSettings::SetPreviousWallpaper(const std::filesystem::path& path, const std::wstring& style,
                                       const std::wstring& tile) const {
    CRegistryKey key;
    if (OpenForWriting(key)) {
        key.WriteString("PreviousWallpaperStyle", style);
        key.WriteString("PreviousTileWallpaper", tile);
        key.WriteString("PreviousWallpaper", path.native());
    }
}

bool AppSettings::OpenForWriting(CRegistryKey& key) const {
    return key.Open(rootKey, subKeyPath.c_str()) || key.CreateKey(rootKey, subKeyPath.c_str());
}

void AppSettings::Persist(const char* name, int value) const {
    CRegistryKey key;
    if (OpenForWriting(key))
        key.WriteDword(name, static_cast<DWORD>(value));
}
