// Not a test: the editor on a plan with its simulation window running, for
// a look at it under Xvfb and for measuring what the idle running window
// costs. kdt_simulation_demo PLAN [--seconds N] [--shot FILE.png] [--zoom N] [--click CHANNEL]...
#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include "components/Painter.h"
#include "shell/Unit1.h"
#include "simulation/Unit2.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 2) {
        qWarning(
            "usage: kdt_simulation_demo PLAN [--seconds N] [--shot FILE.png] [--zoom N] [--click "
            "CHANNEL]...");
        return 2;
    }
    int seconds = 10;
    QString shot;
    int zoom = 1;       // the shot enlarged pixel by pixel, to look at the details
    QList<int> clicks;  // lamps clicked just before the shot, to see the fault marks
    for (int i = 2; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--seconds")) seconds = arguments[i + 1].toInt();
        if (arguments[i] == QLatin1String("--shot")) shot = arguments[i + 1];
        if (arguments[i] == QLatin1String("--zoom")) zoom = std::max(1, arguments[i + 1].toInt());
        if (arguments[i] == QLatin1String("--click")) clicks << arguments[i + 1].toInt();
    }
    kdt::gui::TKDT editor;
    editor.SetStartupArgument(arguments[1].toStdString());
    editor.show();
    editor.ImitacClick();
    kdt::gui::TForm2* window = editor.simulationWindow();
    if (window == nullptr) return 1;
    window->findChild<QAction*>(QStringLiteral("SpeedButton1"))->trigger();
    QTimer::singleShot(seconds * 1000, &application, [&] {
        if (!shot.isEmpty() && editor.simulationWindow() != nullptr) {
            QWidget* surface = window->findChild<kdt::gui::TPainter*>(QStringLiteral("Painter"))->viewport();
            for (const int channel : clicks)
                for (const kdt::HeadPlace& head : window->headLayout().heads)
                    for (const kdt::LampPlace& lamp : head.lamps) {
                        if (lamp.channel != channel) continue;
                        const QPointF at(lamp.left + 15, lamp.top + 15);
                        QMouseEvent release(QEvent::MouseButtonRelease, at, surface->mapToGlobal(at),
                                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
                        QCoreApplication::sendEvent(surface, &release);
                    }
            const QPixmap grabbed = window->grab();
            grabbed.scaled(grabbed.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(shot);
        }
        // Ends the loop without closing the windows: no leave check to answer.
        QCoreApplication::exit(0);
    });
    return application.exec();
}
