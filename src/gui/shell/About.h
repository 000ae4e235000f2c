// The about box TAboutBox, "   О программе": the program's name and the
// version texts the build compiled in. One box serves every showing.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace kdt::gui {

// The version texts of this build; an empty one is a value the build has not.
struct VersionTexts {
    QString companyName;
    QString productName;
    QString productVersion;
    QString fileVersion;
    QString legalCopyright;
    QString comments;
};
VersionTexts CompiledVersionTexts();

class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Fills the labels as every showing does: the title, then each value the build has.
    void ShowVersion(const VersionTexts& texts);
    // Shows the box without blocking the main window, centred on the desktop.
    void Open();

    QLabel* label(const char* name) const;

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
};

}  // namespace kdt::gui
