// Saves what an X display shows to a PNG file, for looking at the editor as
// a user sees it: DISPLAY=:99 kdt_screen_grab /tmp/shot.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 2) return 2;
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
