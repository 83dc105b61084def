#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "services/user_place.h"
#include "wallpaper/wallpaper_choice.h"

class CRegistryKey;

// The user's persisted choices. Read from the registry once, on first use, then
// served from memory; every change is written through at once.
class AppSettings {
public:
    static AppSettings& Instance();

    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // Non-zero: show the annotated picture of an entry.
    int GetAnnotate() const { return annotate; }
    // 1: the wallpaper shows the pinned entry; anything else follows the present phase.
    int GetMoonType() const { return moonType; }
    // Index of the pinned entry, kept as given.
    int GetSelectedMoon() const { return selectedMoon; }
    // Non-zero: the Moon is shown as seen from the southern hemisphere, turned by a half
    // turn. Never stored: the hemisphere of the user's country.
    int GetSouthernView() const { return southernView; }

    // Non-zero: the wallpaper that follows the present moment is drawn live, as the Moon is
    // now, rather than taken from the catalogue. Never stored: off.
    int GetLiveMoon() const { return liveMoon; }
    // Non-zero: the live Moon is turned as it stands in the sky of the user's place (the
    // catalogue's pictures keep the southern view's turn). Never stored: off.
    int GetAsInSky() const { return asInSky; }

    // The settings that decide the wallpaper, as one value.
    // The place only turns a Moon drawn as in the sky: without that, the time zone and the
    // country are not looked up at every refresh.
    WallpaperSettings GetWallpaperSettings() const {
        const GeoPlace place = asInSky != 0 ? GetPlace().place : GeoPlace{};
        return {moonType,      selectedMoon, ViewSettings{annotate != 0, southernView != 0},
                liveMoon != 0, asInSky != 0, place};
    }

    // The place the user chose; never chosen, the likely place of the machine's time zone
    // and the user's country, which follows a change of either.
    NamedPlace GetPlace() const { return hasOwnPlace ? ownPlace : MachineDefaultPlace(); }

    // Each setter keeps the value in memory even when it cannot be persisted.
    void SetAnnotate(int value);
    void SetMoonType(int value);
    void SetSelectedMoon(int value);
    void SetSouthernView(int value);
    void SetLiveMoon(int value);
    void SetAsInSky(int value);
    // Stored as text: "Place" the name, "Latitude" and "Longitude" as CoordinateValueText.
    void SetPlace(const NamedPlace& place);
    // The wallpaper Quellwick replaced last (an empty path: none) with its "WallpaperStyle"
    // and "TileWallpaper", for an uninstall to give back; written only.
    void SetPreviousWallpaper(const std::filesystem::path& path, const std::wstring& style,
                              const std::wstring& tile) const;

protected:
    // Reads the values under `root`\`subKey`, without creating the key.
    AppSettings(HKEY root, std::string subKey);

private:
    void Persist(const char* name, int value) const;
    // The settings key, opened or created; false when neither works.
    bool OpenForWriting(CRegistryKey& key) const;

    HKEY rootKey;
    std::string subKeyPath;
    int annotate = 0;
    int moonType = 0;
    int selectedMoon = 0;
    int southernView = 0;
    int liveMoon = 0;
    int asInSky = 0;
    bool hasOwnPlace = false;
    NamedPlace ownPlace;
};
