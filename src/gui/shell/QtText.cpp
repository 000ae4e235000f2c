#include "shell/QtText.h"

#include "common/FileIO.h"

namespace kdt::gui {

QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString PathToQString(const std::filesystem::path& path) {
    return ToQString(PathToUtf8(path));
}

std::filesystem::path QStringToPath(const QString& text) {
    return Utf8ToPath(ToUtf8(text));
}

}  // namespace kdt::gui
