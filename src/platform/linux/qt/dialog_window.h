#pragma once

#include <QWidget>
#include <functional>

namespace platform::linux_desktop {

// A fixed tool window whose close box goes through the program's own unload.
class DialogWindow final : public QWidget {
 public:
  explicit DialogWindow(std::function<void()> closed);

  // Qt's own frame, drawn where the compositor draws none (GNOME), has
  // minimise and maximise buttons whatever the flags say: the window then
  // draws a frame of its own, before its first picture.
  void frameWhereQtWould();

  QWidget* const content;  // the controls

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<void()> closed_;
  bool framed_ = false;
};

}  // namespace platform::linux_desktop
