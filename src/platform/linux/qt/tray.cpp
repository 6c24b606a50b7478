#include "platform/linux/qt/tray.h"

#include <QtGui/qguiapplication_platform.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDesktopServices>
#include <QImage>
#include <QPixmap>
#include <QMouseEvent>
#include <QUrl>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/linux/utf8.h"
#include "program_icon.h"

namespace platform::linux_desktop {
namespace {

constexpr QLatin1StringView kWatcher("org.kde.StatusNotifierWatcher");
// How long a panel may take to come at the start of a session: at a login
// on a slow disk the program can be up many seconds before the panel.
constexpr int kNoIconWaitMs = 15000;

// How long the watcher may take to answer: a watcher that owns its name but
// hangs must not hold the icon up for D-Bus's 25 s.
constexpr int kWatcherAnswerMs = 1000;

// Whether an XEmbed tray manages the notification area of the first screen;
// never under Wayland, where Qt has no such icon.
bool xembedTrayPresent() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return false;
  xcb_connection_t* connection = x11->connection();
  const QByteArray name = QByteArrayLiteral("_NET_SYSTEM_TRAY_S0");
  auto* atom = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 1, name.size(), name.constData()), nullptr);
  if (atom == nullptr) return false;
  const xcb_atom_t selection = atom->atom;
  std::free(atom);
  if (selection == XCB_NONE) return false;
  auto* owner = xcb_get_selection_owner_reply(
      connection, xcb_get_selection_owner(connection, selection), nullptr);
  const bool present = owner != nullptr && owner->owner != XCB_NONE;
  std::free(owner);
  return present;
}

bool isXEmbedIcon(const QObject* object) {
  return qstrcmp(object->metaObject()->className(), "QSystemTrayIconSys") == 0;
}

// Whether Qt shows the icon in an XEmbed tray: its window for that exists
// then, and only then.
bool xembedIconShown() {
  const QWidgetList windows = QApplication::topLevelWidgets();
  return std::any_of(windows.begin(), windows.end(), isXEmbedIcon);
}

}  // namespace

QIcon programIcon() {
  QIcon icon;
  for (const IconPicture& picture : kIconPictures) {
    // The image shares the program's constant pixels.
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels), picture.size, picture.size,
                       QImage::Format_ARGB32);
    icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

// The XEmbed tray reports Trigger and Context on the press of a button. The
// program acts on the release, as on Windows: the clicks are taken from the
// icon's own window instead.
class QtShell::XEmbedClicks final : public QObject {
 public:
  explicit XEmbedClicks(QtWindowSystem& windows) : windows_(windows) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!isXEmbedIcon(watched)) return false;
    const auto* mouse =
        event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick
            ? static_cast<QMouseEvent*>(event)
            : nullptr;
    if (mouse == nullptr) return false;
    if (event->type() == QEvent::MouseButtonDblClick) {
      if (mouse->button() == Qt::LeftButton) windows_.postTrayNotification(msg::kLButtonDblClk);
      return false;
    }
    switch (mouse->button()) {
      case Qt::LeftButton:
        windows_.postTrayNotification(msg::kLButtonUp);
        break;
      case Qt::RightButton:
        windows_.postTrayNotification(msg::kRButtonUp);
        break;
      case Qt::MiddleButton:
        windows_.postTrayNotification(msg::kMButtonUp);
        break;
      default:
        break;
    }
    return false;
  }

 private:
  QtWindowSystem& windows_;
};

QtShell::QtShell(QtWindowSystem& windows, const std::vector<MenuEntry>& menu)
    : windows_(windows),
      watcher_(kWatcher, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForRegistration) {
  fillMenu(exportedMenu_, menu, windows_);
  QObject::connect(&watcher_, &QDBusServiceWatcher::serviceRegistered,
                   [this] { lookForNotificationArea(); });
  // A watcher's host may come after it, and an XEmbed tray after anything.
  QObject::connect(&trayPoll_, &QTimer::timeout, [this] { lookForNotificationArea(); });
  noIconWait_.setSingleShot(true);
  QObject::connect(&noIconWait_, &QTimer::timeout, [this] {
    if ((pending_ || unhosted_) && !toldNoIcon_) tellNoIcon();
  });
  xembedClicks_ = std::make_unique<XEmbedClicks>(windows_);
  qApp->installEventFilter(xembedClicks_.get());
}

QtShell::~QtShell() {
  qApp->removeEventFilter(xembedClicks_.get());
}

// Whether a panel shows StatusNotifierItems is the watcher's property
// IsStatusNotifierHostRegistered, which Qt reads too when it makes its first
// icon.
void QtShell::lookForNotificationArea() {
  if (!pending_ && !unhosted_) return;
  if (pending_ && xembedTrayPresent()) {
    makeIcon(false);
    return;
  }
  if (askingWatcher_) return;
  askingWatcher_ = true;
  QDBusMessage get = QDBusMessage::createMethodCall(
      kWatcher, QStringLiteral("/StatusNotifierWatcher"),
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << QString(kWatcher) << QStringLiteral("IsStatusNotifierHostRegistered");
  auto* call = new QDBusPendingCallWatcher(
      QDBusConnection::sessionBus().asyncCall(get, kWatcherAnswerMs));
  // The poll's timer is the context: no answer comes after the shell is gone.
  QObject::connect(call, &QDBusPendingCallWatcher::finished, &trayPoll_,
                   [this](QDBusPendingCallWatcher* done) {
                     done->deleteLater();
                     askingWatcher_ = false;
                     const QDBusPendingReply<QDBusVariant> reply = *done;
                     if (reply.isError() || !reply.value().variant().toBool()) return;
                     unhosted_ = false;
                     trayPoll_.stop();
                     if (pending_) makeIcon(true);
                   });
}

// Qt decides at its first icon, for the whole run, between a StatusNotifierItem
// and an XEmbed icon (none under Wayland): Qt 6.4 takes the item where a host
// is registered, Qt 6.8 wherever a watcher is on the bus. So the icon is made
// only once one of them can be shown, and its clicks are taken from what Qt
// made of it.
void QtShell::makeIcon(bool hostSeen) {
  pending_ = false;
  icon_ = std::make_unique<QSystemTrayIcon>(programIcon());
  icon_->setToolTip(tip_);
  QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                   [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
  icon_->show();
  // In the XEmbed tray Qt would pop an exported menu up itself, on the press.
  const bool xembed = xembedIconShown();
  if (!xembed) icon_->setContextMenu(&exportedMenu_);
  // An item made for the XEmbed tray waits for a host: the watcher is asked on.
  unhosted_ = !xembed && !hostSeen;
  if (!unhosted_) trayPoll_.stop();
}

// Through the desktop's notifications where a notification server answers,
// else in a message box.
void QtShell::tellNoIcon() {
  toldNoIcon_ = true;
  const QString summary = QStringLiteral("Tenebrolite has no icon on this desktop");
  const QString body = QStringLiteral(
      "No notification area shows icons here. Switch the display off with the \"Switch Off\" "
      "action of Tenebrolite in the launcher, or with the command tenebrolite --switch-off, "
      "for example on a keyboard shortcut. The icon comes when a panel with a notification "
      "area starts.");
  QDBusMessage notify = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  notify << QStringLiteral("Tenebrolite") << 0U << QStringLiteral("example.velmarind.Tenebrolite")
         << summary << body << QStringList()
         << QVariantMap{{QStringLiteral("desktop-entry"),
                         QStringLiteral("example.velmarind.Tenebrolite")}}
         << -1;
  auto* call = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(notify));
  QObject::connect(call, &QDBusPendingCallWatcher::finished, [this, summary, body](auto* done) {
    done->deleteLater();
    if (!done->isError()) return;
    windows_.messageBox(0, (summary + QStringLiteral(".\n\n") + body).toStdU16String(),
                        u"Tenebrolite", mb::kOk);
  });
}

void QtShell::activated(QSystemTrayIcon::ActivationReason reason) {
  if (xembedIconShown()) return;  // XEmbedClicks reports those, on the release
  // A StatusNotifierItem panel sends Activate (Trigger) and ContextMenu
  // (Context) for what the user did, and has no double click.
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      windows_.postTrayNotification(msg::kLButtonUp);
      break;
    case QSystemTrayIcon::Context:
      windows_.postTrayNotification(msg::kRButtonUp);
      break;
    case QSystemTrayIcon::DoubleClick:
      windows_.postTrayNotification(msg::kLButtonDblClk);
      break;
    case QSystemTrayIcon::MiddleClick:
      windows_.postTrayNotification(msg::kMButtonUp);
      break;
    case QSystemTrayIcon::Unknown:
      break;
  }
}

bool QtShell::notifyIcon(std::uint32_t message, const TrayIconData& data) {
  switch (message) {
    case nim::kAdd:
      tip_ = QString::fromStdU16String(data.szTip);
      if (icon_ || pending_) return true;
      // Until a notification area answers (a session starting up), the
      // icon is pending, and made when one comes.
      pending_ = true;
      trayPoll_.start(1000);
      noIconWait_.start(kNoIconWaitMs);
      lookForNotificationArea();
      return true;
    case nim::kModify:
      tip_ = QString::fromStdU16String(data.szTip);
      if (icon_) icon_->setToolTip(tip_);
      return icon_ != nullptr || pending_;
    case nim::kDelete: {
      const bool added = pending_;
      pending_ = unhosted_ = false;
      trayPoll_.stop();
      noIconWait_.stop();
      if (!icon_) return added;
      icon_->hide();
      icon_.reset();
      return true;
    }
    default:
      return false;
  }
}

void QtShell::execute(WindowHandle, const std::u16string&, const std::u16string& file, int) {
  const QString text = QString::fromStdU16String(file);
  if (text.startsWith(QStringLiteral("https://")) || text.startsWith(QStringLiteral("http://"))) {
    QDesktopServices::openUrl(QUrl(text));
    return;
  }
  // A file's name is bytes, UTF-8 or not, and goes into the URL as bytes.
  const std::optional<std::string> path = toFileName(file);
  if (!path || !path->starts_with('/')) return;
  std::string chosen = *path;
  // Installed, the program's files are in <prefix>/share/tenebrolite, not
  // beside the binary in <prefix>/bin as in the build folder.
  if (::access(path->c_str(), F_OK) != 0) {
    const std::size_t slash = path->rfind('/');
    const std::size_t prefix = slash == 0 ? 0 : path->rfind('/', slash - 1);
    const std::string shared = path->substr(0, prefix) + "/share/tenebrolite" + path->substr(slash);
    if (::access(shared.c_str(), F_OK) == 0) chosen = shared;
  }
  QDesktopServices::openUrl(QUrl::fromEncoded(
      "file://" + QByteArray::fromStdString(chosen).toPercentEncoding(QByteArrayLiteral("/"))));
}

}  // namespace platform::linux_desktop
