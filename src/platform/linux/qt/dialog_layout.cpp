#include "platform/linux/qt/dialog_layout.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace platform::linux_desktop {
namespace {

// What a text box needs to show a hold such as "10.25" whole.
int textBoxWidth(const QLineEdit& edit) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
  const QMargins margins = edit.textMargins();
  const int text = edit.fontMetrics().horizontalAdvance(QStringLiteral("10.25")) +
                   margins.left() + margins.right();
  const QSize content(text, edit.fontMetrics().height());
  return edit.style()->sizeFromContents(QStyle::CT_LineEdit, &option, content, &edit).width();
}

}  // namespace

void layOutRow(QWidget& window, const DialogLayout& design, const std::vector<QWidget*>& widgets) {
  const std::vector<ControlLayout>& controls = design.controls;
  if (controls.empty()) return;
  int top = design.client.height;
  int bottom = 0;
  int right = 0;
  for (const ControlLayout& control : controls) {
    top = std::min(top, control.rect.top);
    bottom = std::max(bottom, control.rect.top + control.rect.height);
    right = std::max(right, control.rect.left + control.rect.width);
  }
  auto* row = new QHBoxLayout(&window);
  row->setContentsMargins(controls.front().rect.left, top, design.client.width - right,
                          design.client.height - bottom);
  row->setSpacing(0);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const PixelRect& rect = controls[i].rect;
    if (i > 0) {
      const PixelRect& before = controls[i - 1].rect;
      row->addSpacing(std::max(0, rect.left - before.left - before.width));
    }
    QWidget* widget = widgets[i];
    const auto* edit = qobject_cast<const QLineEdit*>(widget);
    const QSize hint = widget->sizeHint();
    const int width = std::max(rect.width, edit != nullptr ? textBoxWidth(*edit) : hint.width());
    widget->setFixedSize(width, std::max(rect.height, hint.height()));
    row->addWidget(widget, 0, Qt::AlignVCenter);
  }
  // No resizing, so no maximising either.
  row->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace platform::linux_desktop
