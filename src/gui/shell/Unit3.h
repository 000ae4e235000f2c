// The settings dialog TForm3, "Настройка": the folders, the programmer and
// its parameters, the image file type, the analysis before compiling, the
// default ROM type and speed. It works on the window's settings in memory;
// they reach the store when the main window closes.
#pragma once

#include <array>

#include <QDialog>

#include "shell/KdtSettings.h"
#include "shell/UserInteraction.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QStatusBar;
class QToolButton;

namespace kdt::gui {

class PlainLineEdit;
class RadioGroup;
class UpDownEdit;

// The speeds the arrows offer, and the ones a typed speed may have.
inline constexpr int kSpeedArrowMinimum = 5;
inline constexpr int kSpeedArrowMaximum = 120;
inline constexpr int kSpeedArrowStep = 5;
inline constexpr int kTypedSpeedMaximum = 250;

class TForm3 final : public QDialog {
    Q_OBJECT
public:
    TForm3(KdtSettings& settings, UserInteraction& interaction, QWidget* parent);

    // The field tagged 1..5 (the four folders, the programmer's parameters).
    PlainLineEdit* pathField(int tag) const { return fields_[static_cast<std::size_t>(tag - 1)]; }

    // What a closing dialog takes over from its fields, however it is closed.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void Fill();
    void FieldEntered(int tag);
    void FieldChanged(int tag);
    void Browse();
    void TakeOver();
    QString* SettingOf(int tag) const;

    KdtSettings& settings_;
    UserInteraction& interaction_;
    std::array<PlainLineEdit*, 5> fields_{};
    std::array<QLabel*, 5> labels_{};
    QToolButton* browse_ = nullptr;
    int browseTag_ = 0;
    QComboBox* romType_ = nullptr;
    UpDownEdit* speed_ = nullptr;
    QCheckBox* analyse_ = nullptr;
    RadioGroup* fileType_ = nullptr;
    QStatusBar* status_ = nullptr;
    bool takenOver_ = false;
};

// How a typed folder or program path is kept: upper case where the file
// system ignores case, as typed elsewhere (another case names another file).
QString StoredPathText(const QString& typed);

}  // namespace kdt::gui
