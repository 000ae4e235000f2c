// The one crossing between the core's UTF-8 text and Qt's QString.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include <QString>

namespace kdt::gui {

QString ToQString(std::string_view utf8);
std::string ToUtf8(const QString& text);

// Paths go through the same crossing, as UTF-8.
QString PathToQString(const std::filesystem::path& path);
std::filesystem::path QStringToPath(const QString& text);

}  // namespace kdt::gui
