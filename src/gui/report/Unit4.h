// The report dialog TOtcet: the sections to print, where to send the
// report (printer, text file, PDF, preview), and the editable report text.
#pragma once

#include <array>
#include <filesystem>
#include <functional>

#include <QDialog>
#include <QStringList>

#include "data/TypeKDT.h"
#include "report/ReportBoxes.h"
#include "report/ReportPages.h"
#include "report/ReportText.h"

class QCheckBox;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QStackedWidget;

namespace kdt::gui {

class RadioGroup;
class UpDownEdit;
class UserInteraction;

// The choices of "Куда выводить ?", in their order.
enum class ReportOutput { Printer = 0, File = 1, Pdf = 2 };

// The name the save dialogs propose: the project file's name without its
// folder (either kind of separator) and extension.
QString ProposedReportName(const QString& projectFileName);

class TOtcet final : public QDialog {
    Q_OBJECT
public:
    struct Setting {
        TSignalPlan plan{};  // the plan as it is when the dialog opens
        ReportDate today;
        std::filesystem::path workFolder;
        UserInteraction* interaction = nullptr;
        // Shows a failure in the editor's exception box.
        std::function<void(const QString&)> showFailure;
    };

    TOtcet(const Setting& setting, QWidget* parent = nullptr);

    // Panel 1, " Типы данных включаемых в отчет ".
    void SelectAllClick();
    void ClearAllClick();
    void SectionsPrintClick();  // "Печать...": composes the text, panel 2
    // Panel 2, "Печать отчета ".
    void CancelClick();
    void EditorClick();
    void OutputPrintClick();  // "Печать...": printer, text file or PDF
    void PreviewClick();
    // Panel 3, "Предварительный просмотр".
    void BackClick();

    int panel() const;  // 1, 2 or 3
    ReportBoxes ticked() const;
    ReportOutput output() const;
    // The lines of the text box as they stand, edits included.
    QStringList reportLines() const;
    // What the outputs print: the box's text in its font size, with the diagrams when ticked.
    ReportPrintout printout() const;

private:
    QWidget* BuildSectionsPanel();
    QWidget* BuildOutputPanel();
    QWidget* BuildEditorPanel();
    void ShowPanel(int number);
    void RefreshPrintEnabled();
    void ApplyFontSize();
    void PrintToPrinter();
    void SaveAsText();
    void SaveAsPdf();
    QString ChosenPath(const QString& title, const QString& filter, const QString& suffix);

    Setting setting_;
    ReportBoxes available_{};
    std::array<QCheckBox*, kReportBoxCount> boxes_{};
    QStackedWidget* panels_ = nullptr;
    QPushButton* sectionsPrint_ = nullptr;
    RadioGroup* outputGroup_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    UpDownEdit* fontSize_ = nullptr;
};

}  // namespace kdt::gui
