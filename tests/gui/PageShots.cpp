// Not a test: shows editor pages with the bundled example and saves what the
// display shows, to look at the pages as a user sees them:
//   Xvfb :99 & DISPLAY=:99 QT_QPA_PLATFORM=xcb kdt_page_shots /tmp/shots 2 2:F3 3
// writes /tmp/shots/page2.png, page2-F3.png (after F3) and page3.png, and
// each window alone as it is and twice as large (page2-window.png, page2-x2.png ...); "settings" and
// "about" write settings.png and about.png of those windows. "--plan FILE" before
// the pages shows another plan than the example (the coordinator page needs
// a leading controller, for one). A page whose controls
// need more height than the page area has is named on stderr; with
// KDT_SHOW_SIZES set, every control of the page is listed with its place and size.
#include <QDir>
#include <QScreen>

#include "GuiTestKit.h"
#include "binding/Page.h"
#include "pages/PageFrame.h"
#include "shell/About.h"
#include "shell/Unit3.h"

int main(int argc, char** argv) {
    kdt::gui::test::IsolateUserFolders();
    QApplication application(argc, argv);
    if (argc < 3) return 2;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    kdt::gui::test::Editor editor = kdt::gui::test::MakeEditor();
    editor->show();
    if (!QTest::qWaitForWindowExposed(editor.window.get())) return 1;
    int first = 2;
    std::filesystem::path plan = kdt::gui::test::ExamplePath();
    if (argc > 3 && QString::fromLocal8Bit(argv[2]) == QStringLiteral("--plan")) {
        plan = kdt::gui::test::ToPath(QString::fromLocal8Bit(argv[3]));
        first = 4;
    }
    if (!editor->FileOpen1Accept(plan)) return 1;
    int failures = 0;
    for (int i = first; i < argc; ++i) {
        // "settings" and "about" show those windows over the main window.
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("settings") || argument == QLatin1String("about")) {
            QWidget* shown = nullptr;
            if (argument == QLatin1String("settings")) {
                editor->ShowSettingsDialog();
                shown = editor->settingsDialog();
            } else {
                editor->aboutBox()->Open();
                shown = editor->aboutBox();
            }
            QTest::qWait(300);
            const QPixmap window = editor->screen()->grabWindow(0).copy(shown->frameGeometry());
            if (!window.save(folder.filePath(argument + QStringLiteral(".png")))) ++failures;
            shown->close();
            continue;
        }
        // "2" shows page 2; "2:F3" then releases F3 on it (the colours page's mode 3).
        const QStringList parts = argument.split(QLatin1Char(':'));
        const int page = parts.front().toInt();
        editor->ShowPage(page);
        QString name = QStringLiteral("page%1").arg(page);
        if (parts.size() > 1 && parts[1].startsWith(QLatin1Char('F'))) {
            const int function = parts[1].mid(1).toInt();
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1 + function - 1, Qt::NoModifier);
            release.setTimestamp(static_cast<ulong>(1000 + i));
            QCoreApplication::sendEvent(editor->pageFrame(page), &release);
            name += QLatin1Char('-') + parts[1];
        }
        QTest::qWait(300);
        if (QWidget* shown = editor->page(page); shown && shown->minimumSizeHint().height() > shown->height())
            qWarning("page %d needs %d pixels in height and has %d", page, shown->minimumSizeHint().height(),
                     shown->height());
        if (qEnvironmentVariableIsSet("KDT_SHOW_SIZES") && editor->page(page))
            for (QWidget* child : editor->page(page)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                qWarning("%s %s at %d,%d size %dx%d min %dx%d", child->metaObject()->className(),
                         qPrintable(child->objectName()), child->x(), child->y(), child->width(),
                         child->height(), child->minimumSizeHint().width(),
                         child->minimumSizeHint().height());
        const QPixmap shot = editor->screen()->grabWindow(0);
        const QString path = folder.filePath(name + QStringLiteral(".png"));
        if (!shot.save(path)) ++failures;
        // The window alone as it is, and twice as large for the details.
        const QRect frame = editor->frameGeometry();
        const QPixmap window = shot.copy(frame);
        if (!window.save(folder.filePath(name + QStringLiteral("-window.png")))) ++failures;
        const QPixmap enlarged =
            window.scaled(frame.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (!enlarged.save(folder.filePath(name + QStringLiteral("-x2.png")))) ++failures;
    }
    return failures == 0 ? 0 : 1;
}
