#pragma once

#include <QWidget>
#include <vector>

#include "platform/window.h"

namespace platform::linux_desktop {

// Lays a one-row dialog out in the desktop's own font: the controls in the
// design's order, with its margins and the gaps between them in pixels, each
// control as large as the design makes it and no smaller than its text needs,
// vertically centred. The window takes the size that fits and keeps it.
// widgets[i] is the widget made for design.controls[i].
void layOutRow(QWidget& window, const DialogLayout& design, const std::vector<QWidget*>& widgets);

}  // namespace platform::linux_desktop
