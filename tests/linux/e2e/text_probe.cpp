// How Qt draws a text in a widget of this desktop, for the tests to look for
// it whole on a screenshot. Started with the program's environment (Qt
// platform, theme, fonts), it prints for each "label:TEXT" or "button:TEXT"
// the text's ink as the widget's style draws it, each pixel that the glyphs
// cover at least half, drawn at 16 offsets from 0 to 15/16 of a pixel (a
// centred text starts between pixels, and its glyphs are drawn for it):
//   WIDTH HEIGHT
//   HEIGHT rows of WIDTH characters, '#' ink, '.' none
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
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
    QStyleOption option;
    option.initFrom(widget.get());
    int flags = Qt::AlignLeft | Qt::AlignTop;
    if (button) {
      const bool underline = widget->style()->styleHint(QStyle::SH_UnderlineShortcut, &option,
                                                        widget.get()) != 0;
      flags |= underline ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
    }
    for (int sixteenths = 0; sixteenths < 16; ++sixteenths) {
      QImage image(400, 100, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::white);
      QPainter painter(&image);
      painter.setFont(widget->font());
      painter.setPen(Qt::black);
      painter.drawText(QRectF(10 + sixteenths / 16.0, 10, 380, 80), flags, text);
      painter.end();
      int left = image.width(), right = -1, top = image.height(), bottom = -1;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          if (qGray(image.pixel(x, y)) < 128) {
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
          }
        }
      }
      std::printf("%d %d\n", right - left + 1, bottom - top + 1);
      for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
          std::putchar(qGray(image.pixel(x, y)) < 128 ? '#' : '.');
        }
        std::putchar('\n');
      }
    }
  }
  return 0;
}
