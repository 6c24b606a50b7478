// How Qt draws a text in a widget of this desktop, for the tests to look for
// it whole on a screenshot. Started with the program's environment (Qt
// platform, theme, fonts), it prints for each "label:TEXT" or "button:TEXT"
// the text's ink as the widget's style draws it in its colours, each pixel
// darker than halfway between them (LEVEL, grey), drawn at 64 offsets from 0
// to 63/64 of a pixel (a centred text starts between pixels, and its glyphs
// are drawn for it); a button's text at those 64 with its access key
// underlined, then at 64 without (Breeze on Plasma 6 shows it only while Alt
// is held):
//   WIDTH HEIGHT LEVEL
//   HEIGHT rows of WIDTH characters, '#' ink, '.' none
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  for (const QString& argument : QApplication::arguments().mid(1)) {
    const bool button = argument.startsWith(QLatin1String("button:"));
    const QString text = argument.section(QLatin1Char(':'), 1);
    std::unique_ptr<QWidget> widget;
    if (button) {
      widget = std::make_unique<QPushButton>(text);
    } else {
      widget = std::make_unique<QLabel>(text);
    }
    widget->ensurePolished();
    const QPalette& colours = widget->palette();
    const QColor ground = colours.color(button ? QPalette::Button : QPalette::Window);
    const QColor ink = colours.color(button ? QPalette::ButtonText : QPalette::WindowText);
    const int level = (qGray(ground.rgb()) + qGray(ink.rgb())) / 2;
    for (int drawing = 0; drawing < (button ? 128 : 64); ++drawing) {
      const int offset = drawing % 64;
      const int mnemonic = drawing < 64 ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
      const int flags = Qt::AlignLeft | Qt::AlignTop | (button ? mnemonic : 0);
      QImage image(400, 100, QImage::Format_ARGB32_Premultiplied);
      image.fill(ground);
      QPainter painter(&image);
      painter.setFont(widget->font());
      painter.setPen(ink);
      painter.drawText(QRectF(10 + offset / 64.0, 10, 380, 80), flags, text);
      painter.end();
      int left = image.width(), right = -1, top = image.height(), bottom = -1;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          if (qGray(image.pixel(x, y)) < level) {
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
          }
        }
      }
      std::printf("%d %d %d\n", right - left + 1, bottom - top + 1, level);
      for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
          std::putchar(qGray(image.pixel(x, y)) < level ? '#' : '.');
        }
        std::putchar('\n');
      }
    }
  }
  return 0;
}
