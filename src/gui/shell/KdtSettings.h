// The editor's nine settings, kept as texts under Software\KDT (subkeys
// Directory and PARAMS) with numeric copies of four of them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QString>

class QSettings;

namespace kdt::gui {

struct KdtSettings {
    // Directory
    QString projectFolder;   // PRJ: start folder of the dialogs, folder of new projects
    QString romFolder;       // HEX|BIN: where compiled images go
    QString programmerPath;  // PROGR: the EEPROM programmer program
    QString dbfFolder;       // DBF: legacy tables, for the settings dialog
    // PARAMS
    QString programmerParameters;  // Progr: "%n" the image path, "%v" the ROM type number
    QString fileTypeText;          // Compil: "0" Intel HEX, "1" BIN
    QString defaultSpeedText;      // DefScor: km/h for new plans
    QString showErrorsText;        // ShowErr: "1" analyses before compiling
    QString defaultRomText;        // DefPZU: ROM type index for new plans

    // Numeric copies, taken when the settings are loaded or saved.
    int fileType = 0;
    std::uint8_t defaultSpeed = 60;
    std::uint8_t showErrors = 0;
    int defaultRom = 5;
};

// The values a run starts with before anything is loaded, for this platform.
KdtSettings SettingsAtCreation();

// The per-user store: the registry key on Windows, the user's KDT/KDT file elsewhere.
std::unique_ptr<QSettings> OpenSettingsStore();

enum class SettingsDirection { Load, Save };

struct SettingsRun {
    QString associationError;  // the association could not be written; the rest still ran
    bool storeOk = false;      // the store could be read or written
    bool numbersOk = false;    // every numeric copy was taken
};

// One pass over the store in either direction: the values, the two folders
// (created one level deep when missing), the empty-value defaults and the
// numeric copies, which stop at the first text that is not a whole number.
// The file association is written first; its failure stops nothing.
SettingsRun LoadOrSaveSettings(KdtSettings& settings, SettingsDirection direction,
                               const QString& programPath);

// A decimal whole number with an optional sign, nothing else.
std::optional<int> ParseDecimal(const QString& text);

}  // namespace kdt::gui
