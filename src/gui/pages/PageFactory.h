// Builds the page that fills each frame of the main window.
#pragma once

#include "binding/Page.h"

namespace kdt::gui {

// The page numbered 1..11 inside its frame; nullptr for a page that has no
// controls yet (its frame stays empty).
Page* CreatePage(int number, PageContext& context, QWidget* frame);

}  // namespace kdt::gui
