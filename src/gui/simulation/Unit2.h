// The simulation window TForm2: the controller running the plan in real
// time. Its timer drives the engine; the window offers the engine's controls,
// draws the signal heads as the engine lit them, and prints the picture.
#pragma once

#include <array>
#include <functional>

#include <QFont>
#include <QWidget>

#include "shell/UserInteraction.h"
#include "simulation/HeadLayout.h"
#include "simulation/SimulationEngine.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPainter;
class QPrinter;
class QPushButton;
class QTimeEdit;
class QTimer;

namespace kdt::gui {

class TPainter;

// What the window needs of the main window.
struct SimulationHost {
    TSignalPlan* plan = nullptr;
    std::function<int(const MessageRequest&)> message;  // the message box operation
    std::function<void()> beep;
    std::function<void(const QString&)> exception;  // the exception handler's box
    std::function<void()> help;
    std::function<bool(QWidget* owner, QPrinter& printer)> choosePrinter;  // false: cancelled
};

inline constexpr int kSimulationTimerInterval = 488;  // ms

class TForm2 final : public QWidget {
    Q_OBJECT
public:
    TForm2(SimulationHost host, QWidget* parent);
    ~TForm2() override;

    const SimulationEngine& engine() const { return engine_; }
    const HeadLayout& headLayout() const { return layout_; }
    // The picture exactly as the surface paints it, with the surface's scroll.
    void RenderSurface(QPainter& painter) const;

public slots:
    // One run of the timer; the tests call it to drive ticks.
    void Timer1Timer();

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateToolBar();
    void CreateSurface();
    void CreateButtonGroup();
    void CreateStatusBars();

    void FormShow();
    void FormActivate();
    void RebuildProgramList();
    void LayOut();
    void SyncControls();
    void Repaint();

    void SpeedButton1Click();  // start/stop
    void PauseToggled(bool down);
    void SpeedButton2Click();  // auto-size
    void ToolButton7Click();   // print
    void CheckBox1Click(bool ticked);
    void ComboBox1Click(int index);   // the program list
    void ComboBox2Change(int index);  // the weekday list
    void TimeEdited(int milliseconds);
    void _TVP1Click(int button);
    void BitBtnOClick();
    void BitBtn1Click(std::uint8_t code);
    void PainterMouseUp(int x, int y, Qt::MouseButton button);
    void Print(QPrinter& printer);

    SimulationHost host_;
    SimulationEngine engine_;
    HeadLayout layout_;
    QFont pictureFont_;
    bool shown_ = false;
    bool ticking_ = false;

    QTimer* timer_ = nullptr;
    QComboBox* weekdayList_ = nullptr;
    QTimeEdit* timePicker_ = nullptr;
    QCheckBox* followBox_ = nullptr;
    QComboBox* programList_ = nullptr;
    QAction* startStop_ = nullptr;
    QAction* pause_ = nullptr;
    QAction* autoSize_ = nullptr;
    QAction* print_ = nullptr;
    TPainter* surface_ = nullptr;
    QGroupBox* buttonGroup_ = nullptr;
    QPushButton* manualToggle_ = nullptr;
    std::array<QPushButton*, kMaxTvpButtons> pedestrianButtons_{};
    std::array<QPushButton*, 4> phaseButtons_{};
    QPushButton* yellowFlashButton_ = nullptr;
    QPushButton* offButton_ = nullptr;
    QPushButton* allRedButton_ = nullptr;
    std::array<QLabel*, 5> panels_{};
    QLabel* statusLine_ = nullptr;
};

}  // namespace kdt::gui
