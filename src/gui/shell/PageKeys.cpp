#include "shell/PageKeys.h"

#include <QKeyEvent>

namespace kdt::gui {
namespace {

// The hardware code of the main block's "1" and "0" keys, whatever the
// layout and Shift make of them.
#if defined(Q_OS_WIN)
constexpr quint32 kScanCodeOfOne = 0x02;  // set 1 scan codes: 1..9 are 0x02..0x0A, 0 is 0x0B
#elif defined(Q_OS_LINUX)
constexpr quint32 kScanCodeOfOne = 10;  // X11 and Wayland key codes: evdev KEY_1 (2) + 8
#else
constexpr quint32 kScanCodeOfOne = 0;  // no known table: the key code alone decides
#endif

}  // namespace

int DigitOfKey(int key, quint32 nativeScanCode) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
    if (kScanCodeOfOne != 0 && nativeScanCode >= kScanCodeOfOne && nativeScanCode <= kScanCodeOfOne + 9) {
        const int place = static_cast<int>(nativeScanCode - kScanCodeOfOne);  // 0 for "1" .. 9 for "0"
        return place == 9 ? 0 : place + 1;
    }
    return -1;
}

int DigitOfKey(const QKeyEvent& event) {
    return DigitOfKey(event.key(), event.nativeScanCode());
}

}  // namespace kdt::gui
