#include "platform/linux/qt/window_system.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include "platform/linux/qt/dialog_layout.h"
#include "platform/linux/qt/dialog_window.h"

namespace platform::linux_desktop {
namespace {

QString toQt(const std::u16string& text) {
  return QString::fromStdU16String(text);
}

}  // namespace

void fillMenu(QMenu& menu, const std::vector<MenuEntry>& entries, QtWindowSystem& windows) {
  for (const MenuEntry& entry : entries) {
    if (entry.separator) {
      menu.addSeparator();
      continue;
    }
    QString caption = toQt(entry.caption);
    caption.replace(u'&', QStringLiteral("&&"));
    const int command = entry.command;
    QObject::connect(menu.addAction(caption), &QAction::triggered,
                     [&windows, command] { windows.postMenuCommand(command); });
  }
}

struct QtWindowSystem::Dialog {
  std::unique_ptr<DialogWindow> window;
  DialogEvents* events = nullptr;
  std::map<int, QWidget*> controls;  // owned by the window
};

QtWindowSystem::QtWindowSystem(std::function<bool()> powerDown)
    : powerDown_(std::move(powerDown)) {}

QtWindowSystem::~QtWindowSystem() = default;

WindowHandle QtWindowSystem::loadMainWindow(const std::u16string&, MainWindowEvents& events) {
  mainEvents_ = &events;
  mainWindow_ = nextHandle_++;
  return mainWindow_;
}

void QtWindowSystem::hideWindow(WindowHandle) {}

IconHandle QtWindowSystem::smallIcon(WindowHandle) {
  // One picture: the notification area scales the icon itself.
  return 1;
}

void QtWindowSystem::popupMenu(WindowHandle, const std::vector<MenuEntry>& entries) {
  popup_ = std::make_unique<QMenu>();
  fillMenu(*popup_, entries, *this);
  popup_->popup(QCursor::pos());
}

unsigned QtWindowSystem::dpiAt(int, int) {
  // Qt lays out in device-independent pixels and scales them by the
  // screen's ratio itself: the layout is the one for 96 dpi.
  return 96;
}

WindowHandle QtWindowSystem::loadDialog(const DialogLayout& design, DialogEvents& events) {
  const WindowHandle handle = nextHandle_++;
  auto dialog = std::make_unique<Dialog>();
  dialog->events = &events;
  dialog->window = std::make_unique<DialogWindow>([this, handle] { unloadWindow(handle); });
  DialogWindow* window = dialog->window.get();
  window->setWindowTitle(toQt(design.caption));
  // Where a desktop lets a program place its windows: where the design puts it.
  window->move(design.client.left, design.client.top);

  QWidget* previous = nullptr;
  QLineEdit* firstTextBox = nullptr;
  std::vector<QWidget*> widgets;
  for (const ControlLayout& control : design.controls) {
    QWidget* widget = nullptr;
    const int id = control.id;
    switch (control.kind) {
      case ControlKind::Label: {
        auto* label = new QLabel(toQt(control.text), window->content);
        label->setTextFormat(Qt::PlainText);
        widget = label;
        break;
      }
      case ControlKind::TextBox: {
        // The first text arrives before the change signal is connected, as a
        // Win32 edit's does.
        auto* edit = new QLineEdit(toQt(control.text), window->content);
        QObject::connect(edit, &QLineEdit::textChanged,
                         [&events, id] { events.onTextChanged(id); });
        if (firstTextBox == nullptr) firstTextBox = edit;
        widget = edit;
        break;
      }
      case ControlKind::PushButton: {
        // Neither default nor auto-default: Enter and Escape do nothing.
        auto* button = new QPushButton(toQt(control.text), window->content);
        button->setAutoDefault(false);
        button->setDefault(false);
        QObject::connect(button, &QPushButton::clicked, [&events, id] { events.onClicked(id); });
        widget = button;
        break;
      }
    }
    widgets.push_back(widget);
    if (widget->focusPolicy() != Qt::NoFocus) {
      if (previous != nullptr) QWidget::setTabOrder(previous, widget);
      previous = widget;
    }
    dialog->controls[id] = widget;
  }
  layOutRow(*window->content, design, widgets);
  dialogs_[handle] = std::move(dialog);
  window->show();
  window->frameWhereQtWould();
  window->raise();
  window->activateWindow();
  if (firstTextBox != nullptr) firstTextBox->setFocus();
  return handle;
}

void QtWindowSystem::bringToFront(WindowHandle window) {
  const auto found = dialogs_.find(window);
  if (found == dialogs_.end()) return;
  QWidget* widget = found->second->window.get();
  widget->showNormal();
  widget->raise();
  widget->activateWindow();
}

// The control of an open dialog, or null.
QWidget* QtWindowSystem::control(WindowHandle dialog, int control) {
  const auto found = dialogs_.find(dialog);
  if (found == dialogs_.end()) return nullptr;
  const auto widget = found->second->controls.find(control);
  return widget == found->second->controls.end() ? nullptr : widget->second;
}

std::u16string QtWindowSystem::controlText(WindowHandle dialog, int id) {
  QWidget* widget = control(dialog, id);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdU16String();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdU16String();
  if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text().toStdU16String();
  return {};
}

void QtWindowSystem::setControlText(WindowHandle dialog, int id, const std::u16string& text) {
  QWidget* widget = control(dialog, id);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(toQt(text));
  if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(toQt(text));
  if (auto* button = qobject_cast<QPushButton*>(widget)) button->setText(toQt(text));
}

std::vector<WindowHandle> QtWindowSystem::loadedWindows() {
  std::vector<WindowHandle> loaded;
  if (mainWindow_ != 0) loaded.push_back(mainWindow_);
  for (const auto& [handle, dialog] : dialogs_) loaded.push_back(handle);
  return loaded;
}

void QtWindowSystem::unloadWindow(WindowHandle window) {
  if (window != 0 && window == mainWindow_) {
    mainWindow_ = 0;
    mainEvents_ = nullptr;
    popup_.reset();
    forget(window);
    return;
  }
  const auto found = dialogs_.find(window);
  if (found == dialogs_.end()) return;
  std::unique_ptr<Dialog> dialog = std::move(found->second);
  dialogs_.erase(found);
  // The call may come from one of the dialog's own buttons: the widgets go
  // once that signal has returned.
  for (auto& [id, widget] : dialog->controls) widget->disconnect();
  dialog->window->hide();
  dialog->window.release()->deleteLater();
  dialog->events->onUnloaded();
  forget(window);
}

void QtWindowSystem::forget(WindowHandle) {
  if (mainWindow_ == 0 && dialogs_.empty() && looping_) QCoreApplication::quit();
}

std::intptr_t QtWindowSystem::sendMessage(WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam) {
  if (window == mainWindow_ && message == msg::kSysCommand && wParam == kScMonitorPower &&
      lParam == 2 && !powerDown_()) {
    return kMonitorPowerFailed;
  }
  return 0;
}

void QtWindowSystem::dispatchPendingMessages() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // What the program asked of the X server (the menu closing, its grab
  // released) reaches it before the hold's grabs are tried.
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
    xcb_flush(x11->connection());
  }
}

int QtWindowSystem::messageBox(WindowHandle, const std::u16string& text,
                               const std::u16string& title, std::uint32_t type) {
  QString shown = toQt(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(QMessageBox::NoIcon, toQt(title), shown);
  box.setTextFormat(Qt::PlainText);
  if (type == mb::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  const int answer = box.exec();
  if (answer == QMessageBox::Yes) return mb::kIdYes;
  if (answer == QMessageBox::No) return mb::kIdNo;
  return 1;  // IDOK
}

void QtWindowSystem::holdingInput(bool holding) {
  if (holding) return;
  // The panel's messages that came while the UI thread slept through the
  // hold are already queued: they come before this.
  afterHold_ = true;
  QMetaObject::invokeMethod(qApp, [this] { afterHold_ = false; }, Qt::QueuedConnection);
}

void QtWindowSystem::postTrayNotification(std::uint32_t mouseMessage) {
  if (afterHold_) return;
  QMetaObject::invokeMethod(
      qApp,
      [this, mouseMessage] {
        if (mainEvents_ != nullptr) mainEvents_->onTrayNotification(mouseMessage);
      },
      Qt::QueuedConnection);
}

void QtWindowSystem::postMenuCommand(int command) {
  QMetaObject::invokeMethod(
      qApp,
      [this, command] {
        if (mainEvents_ != nullptr) mainEvents_->onMenuCommand(command);
      },
      Qt::QueuedConnection);
}

void QtWindowSystem::runEventLoop() {
  if (mainWindow_ == 0 && dialogs_.empty()) return;
  looping_ = true;
  QApplication::exec();
  looping_ = false;
}

}  // namespace platform::linux_desktop
