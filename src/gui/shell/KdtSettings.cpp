#include "shell/KdtSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "data/TypeKDT.h"
#include "shell/FileAssociation.h"

namespace kdt::gui {
namespace {

struct SettingKey {
    const char16_t* group;
    const char16_t* name;
    QString KdtSettings::*value;
};

constexpr SettingKey kKeys[] = {
    {u"Directory", u"PRJ", &KdtSettings::projectFolder},
    {u"Directory", u"HEX|BIN", &KdtSettings::romFolder},
    {u"Directory", u"PROGR", &KdtSettings::programmerPath},
    {u"Directory", u"DBF", &KdtSettings::dbfFolder},
    {u"PARAMS", u"Progr", &KdtSettings::programmerParameters},
    {u"PARAMS", u"Compil", &KdtSettings::fileTypeText},
    {u"PARAMS", u"DefScor", &KdtSettings::defaultSpeedText},
    {u"PARAMS", u"ShowErr", &KdtSettings::showErrorsText},
    {u"PARAMS", u"DefPZU", &KdtSettings::defaultRomText},
};

QString KeyPath(const SettingKey& key) {
    return QString::fromUtf16(key.group) + QLatin1Char('/') + QString::fromUtf16(key.name);
}

void CreateFolderOneLevel(const QString& folder) {
    if (folder.isEmpty() || QFileInfo::exists(folder)) return;
    QDir().mkdir(folder);  // a missing parent leaves it missing, as intended
}

// The copies are taken in this order; the first bad text ends the step, so
// the later copies keep what they held.
bool TakeNumericCopies(KdtSettings& settings) {
    const std::optional<int> fileType = ParseDecimal(settings.fileTypeText);
    if (!fileType) return false;
    settings.fileType = *fileType;
    const std::optional<int> speed = ParseDecimal(settings.defaultSpeedText);
    if (!speed) return false;
    settings.defaultSpeed = static_cast<std::uint8_t>(*speed);  // a byte, as the plan stores it
    const std::optional<int> showErrors = ParseDecimal(settings.showErrorsText);
    if (!showErrors) return false;
    settings.showErrors = static_cast<std::uint8_t>(*showErrors);
    const std::optional<int> rom = ParseDecimal(settings.defaultRomText);
    if (!rom) return false;
    // A store edited by hand may hold any number; a plan's ROM type is one of six.
    settings.defaultRom = *rom >= 0 && *rom < kRomTypeCount ? *rom : kRomTypeCount - 1;
    return true;
}

}  // namespace

KdtSettings SettingsAtCreation() {
    KdtSettings settings;
#if defined(Q_OS_WIN)
    settings.projectFolder = QStringLiteral("C:\\KDT_WIN\\PROJECT");
    settings.romFolder = QStringLiteral("C:\\KDT_WIN\\HEX");
    settings.programmerPath = QStringLiteral("C:\\");
    settings.dbfFolder = QStringLiteral("C:\\KDT413\\BIN");
#else
    const QDir home = QDir::home();
    settings.projectFolder = home.filePath(QStringLiteral("kdt_win/project"));
    settings.romFolder = home.filePath(QStringLiteral("kdt_win/hex"));
    settings.programmerPath = QStringLiteral("/usr/bin");
    settings.dbfFolder = home.filePath(QStringLiteral("kdt413/bin"));
#endif
    settings.programmerParameters = QStringLiteral("%N");
    settings.fileTypeText = QStringLiteral("0");
    settings.defaultSpeedText = QStringLiteral("60");
    settings.showErrorsText = QStringLiteral("0");
    return settings;
}

std::unique_ptr<QSettings> OpenSettingsStore() {
#if defined(Q_OS_WIN)
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\KDT"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KDT"),
                                       QStringLiteral("KDT"));
#endif
}

SettingsRun LoadOrSaveSettings(KdtSettings& settings, SettingsDirection direction,
                               const QString& programPath) {
    SettingsRun run;
    run.associationError = WriteFileAssociation(programPath);

    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    if (store->status() != QSettings::NoError) return run;
    if (direction == SettingsDirection::Load) {
        for (const SettingKey& key : kKeys)
            settings.*key.value = store->value(KeyPath(key), settings.*key.value).toString();
    } else {
        for (const SettingKey& key : kKeys) store->setValue(KeyPath(key), settings.*key.value);
        store->sync();
    }
    if (store->status() != QSettings::NoError) return run;
    run.storeOk = true;

    CreateFolderOneLevel(settings.projectFolder);
    CreateFolderOneLevel(settings.romFolder);
    if (settings.fileTypeText.isEmpty()) settings.fileTypeText = QStringLiteral("0");
    if (settings.defaultRomText.isEmpty()) settings.defaultRomText = QStringLiteral("5");
    run.numbersOk = TakeNumericCopies(settings);
    return run;
}

std::optional<int> ParseDecimal(const QString& text) {
    qsizetype at = 0;
    if (at < text.size() && (text[at] == QLatin1Char('-') || text[at] == QLatin1Char('+'))) ++at;
    if (at == text.size()) return std::nullopt;
    for (qsizetype i = at; i < text.size(); ++i)
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace kdt::gui
