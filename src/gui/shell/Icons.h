// The editor's pictures, drawn in code so the program needs no image files.
#pragma once

#include <QByteArray>
#include <QIcon>

namespace kdt::gui {

enum class CommandIcon {
    New,
    Open,
    Save,
    Delete,
    Simulation,
    Compile,
    Analysis,
    Print,
    Undo,
    Redo,
    Run,
    Pause,
    FitWidth,  // the simulation window's start/stop, pause and auto-size
};

QIcon IconFor(CommandIcon command);
QIcon PageIcon(int pageNumber);  // 1..11
QIcon AppIcon();
QByteArray AppIconPng(int size);

}  // namespace kdt::gui
