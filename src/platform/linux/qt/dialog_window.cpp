#include "platform/linux/qt/dialog_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

namespace platform::linux_desktop {
namespace {

// The close box of the dialog's own title bar: a cross, as title bars draw it.
class CloseBox final : public QAbstractButton {
 public:
  explicit CloseBox(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setFixedSize(24, 24);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (underMouse()) painter.fillRect(rect(), palette().color(QPalette::Midlight));
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
    const QRectF cross = QRectF(rect()).adjusted(7.5, 7.5, -7.5, -7.5);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.bottomLeft(), cross.topRight());
  }
};

// The title and the close box; a press anywhere else on it moves the window.
class TitleBar final : public QWidget {
 public:
  explicit TitleBar(QWidget& window) : QWidget(&window) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(28, 3, 4, 4);  // the title centred over the whole width
    auto* title = new QLabel(window.windowTitle(), this);
    title->setTextFormat(Qt::PlainText);
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* close = new CloseBox(this);
    QObject::connect(close, &QAbstractButton::clicked, &window, &QWidget::close);
    row->addWidget(title, 1);
    row->addWidget(close);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) window()->windowHandle()->startSystemMove();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width(), height() - 1);
  }
};

}  // namespace

DialogWindow::DialogWindow(std::function<void()> closed)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      content(new QWidget(this)),
      closed_(std::move(closed)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->setSizeConstraint(QLayout::SetFixedSize);
  column->addWidget(content);
}

void DialogWindow::frameWhereQtWould() {
  if (QGuiApplication::platformName() != QLatin1String("wayland") ||
      windowHandle()->frameMargins().top() == 0) {
    return;
  }
  const Qt::WindowFlags frameless = windowFlags() | Qt::FramelessWindowHint;
  overrideWindowFlags(frameless);
  windowHandle()->setFlags(frameless);
  auto* column = static_cast<QVBoxLayout*>(layout());
  column->setContentsMargins(1, 1, 1, 1);
  column->insertWidget(0, new TitleBar(*this));
  framed_ = true;
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  closed_();
}

void DialogWindow::paintEvent(QPaintEvent* /*event*/) {
  if (!framed_) return;
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace platform::linux_desktop
