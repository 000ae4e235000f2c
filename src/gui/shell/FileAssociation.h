// Ties ".kdt" files to this program for the current user: registry keys
// under the user's classes on Windows; elsewhere a desktop entry and a
// shared-mime-info package in the user's data folder.
#pragma once

#include <QByteArray>
#include <QString>

namespace kdt::gui {

// Writes (or confirms) the association for the program at programPath.
// Returns an empty string on success, otherwise what failed.
QString WriteFileAssociation(const QString& programPath);

// The desktop entry for the program at programPath.
QByteArray DesktopEntryText(const QString& programPath);

}  // namespace kdt::gui
