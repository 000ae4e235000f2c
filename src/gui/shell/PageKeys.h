// The digit a released key stands for, read from the key and not from the
// character it types: Shift+1 types "!" (and Qt names it Key_Exclam), but it
// is still the key 1, as the colours page has always taken it.
#pragma once

#include <QtGlobal>

class QKeyEvent;

namespace kdt::gui {

// 0..9 for a digit key of the main block or the keypad, -1 for any other key.
int DigitOfKey(int key, quint32 nativeScanCode);
int DigitOfKey(const QKeyEvent& event);

}  // namespace kdt::gui
