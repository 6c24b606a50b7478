#include "platform/linux/session_bus/mutter.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTimer>
#include <functional>
#include <future>
#include <optional>
#include <utility>

#include "platform/linux/clock.h"
#include "platform/linux/session_bus/calls.h"

namespace platform::linux_desktop {
namespace {

// GNOME's compositor: its display configuration, meant for GNOME's own
// settings daemon, so a refusal is as good as no answer.
QString mutterService() {
  return QStringLiteral("org.gnome.Mutter.DisplayConfig");
}
QString mutterPath() {
  return QStringLiteral("/org/gnome/Mutter/DisplayConfig");
}
QString powerSaveMode() {
  return QStringLiteral("PowerSaveMode");
}
QString propertiesInterface() {
  return QStringLiteral("org.freedesktop.DBus.Properties");
}
// Its idle monitor: a user-active watch fires once, at the next input, and is
// removed when the client that added it leaves the bus.
QString idleService() {
  return QStringLiteral("org.gnome.Mutter.IdleMonitor");
}
QString idlePath() {
  return QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
}
constexpr int kPowerOn = 0;
constexpr int kPowerOff = 3;

std::optional<int> getPowerSaveMode(const QDBusConnection& bus) {
  const QDBusMessage reply =
      call(bus, request(mutterService(), mutterPath(), propertiesInterface(), QStringLiteral("Get"),
                        {mutterService(), powerSaveMode()}));
  if (reply.type() != QDBusMessage::ReplyMessage) return std::nullopt;
  return qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant().toInt();
}

bool setPowerSaveMode(const QDBusConnection& bus, int mode) {
  const QDBusMessage set =
      request(mutterService(), mutterPath(), propertiesInterface(), QStringLiteral("Set"),
              {mutterService(), powerSaveMode(), QVariant::fromValue(QDBusVariant(mode))});
  return call(bus, set).type() == QDBusMessage::ReplyMessage;
}

}  // namespace

namespace {

void connectWatchFired(QDBusConnection bus, QObject* receiver) {
  bus.connect(idleService(), idlePath(), idleService(), QStringLiteral("WatchFired"), receiver,
              SLOT(watchFired(uint)));
}

std::optional<uint> addUserActiveWatch(const QDBusConnection& bus) {
  const QDBusMessage reply = call(
      bus, request(idleService(), idlePath(), idleService(), QStringLiteral("AddUserActiveWatch")));
  if (reply.type() != QDBusMessage::ReplyMessage) return std::nullopt;
  return reply.arguments().value(0).toUInt();
}

}  // namespace

// On the UI thread, whose bus connection outlives the guard's: wakes the
// display at the first user activity after the hold, unless someone has.
class MutterWakeAfterHold final : public QObject {
  Q_OBJECT
  std::optional<uint> watch_;

 public:
  MutterWakeAfterHold() { connectWatchFired(QDBusConnection::sessionBus(), this); }

  void arm() { watch_ = addUserActiveWatch(QDBusConnection::sessionBus()); }
  bool armed() const { return watch_.has_value(); }

  void disarm() {
    if (!watch_) return;
    QDBusConnection::sessionBus().send(request(idleService(), idlePath(), idleService(),
                                               QStringLiteral("RemoveWatch"), {*watch_}));
    watch_.reset();
  }

 private Q_SLOTS:
  void watchFired(uint id) {
    if (watch_ != id) return;
    watch_.reset();
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const std::optional<int> mode = getPowerSaveMode(bus);
    if (mode && *mode != kPowerOn) setPowerSaveMode(bus, kPowerOn);
  }
};

// On the guard's thread: the compositor's reports and the rule's timer.
class MutterWatch final : public QObject {
  Q_OBJECT
  QDBusConnection bus_;
  WakeRule& rule_;
  QTimer timer_;
  std::optional<uint> activity_;

 public:
  MutterWatch(QDBusConnection bus, WakeRule& rule) : bus_(std::move(bus)), rule_(rule) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
    bus_.connect(mutterService(), mutterPath(), propertiesInterface(),
                 QStringLiteral("PropertiesChanged"), this,
                 SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    // Input leaves a display that this program blanked dark on GNOME, so the
    // activity itself is the wake.
    connectWatchFired(bus_, this);
    activity_ = addUserActiveWatch(bus_);
    // The display may have woken between the click's power-down and now; the
    // bus answers this after it has the subscription above.
    if (getPowerSaveMode(bus_) == kPowerOn) wake();
  }

 private Q_SLOTS:
  void watchFired(uint id) {
    if (activity_ != id) return;
    activity_ = addUserActiveWatch(bus_);
    wake();
  }

  void propertiesChanged(const QString& interface, const QVariantMap& changed,
                         const QStringList& /*invalidated*/) {
    const auto mode = changed.find(powerSaveMode());
    if (interface == mutterService() && mode != changed.end() && mode->toInt() == kPowerOn) {
      wake();
    }
  }

  void wake() {
    rule_.noteWake();
    answer();
  }

  void answer() {
    // The lock screen is the user's: a wake there is let be.
    const std::function<bool()> ownDesktop = [this] {
      const QDBusMessage active =
          call(bus_, request(QStringLiteral("org.gnome.ScreenSaver"),
                             QStringLiteral("/org/gnome/ScreenSaver"),
                             QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("GetActive")));
      return !(active.type() == QDBusMessage::ReplyMessage && active.arguments().value(0).toBool());
    };
    Milliseconds next = -1;
    if (rule_.due(steadyNow(), ownDesktop, next)) setPowerSaveMode(bus_, kPowerOff);
    if (const Milliseconds wait = waitUntil(next, steadyNow()); wait >= 0) {
      timer_.start(static_cast<int>(wait));
    }
  }
};

namespace {

class GuardThread final : public QThread {
 public:
  GuardThread(WakeRule& rule, std::promise<void> ready) : rule_(rule), ready_(std::move(ready)) {}

 protected:
  void run() override {
    const QString name = QStringLiteral("tenebrolite-hold-guard");
    {
      rule_.begin();
      MutterWatch watch(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name), rule_);
      ready_.set_value();
      // A quit() that comes before this makes it return at once.
      exec();
      rule_.end();
    }
    QDBusConnection::disconnectFromBus(name);
  }

 private:
  WakeRule& rule_;
  std::promise<void> ready_;
};

}  // namespace

MutterHoldGuard::MutterHoldGuard(WakeRule& rule) : rule_(rule) {}

MutterHoldGuard::~MutterHoldGuard() {
  stop();
}

bool MutterHoldGuard::powerDown() {
  // A new click's hold replaces the wake of the last one.
  if (afterHold_) afterHold_->disarm();
  const QDBusConnection bus = QDBusConnection::sessionBus();
  poweredDownByMutter_ = setPowerSaveMode(bus, kPowerOff);
  if (poweredDownByMutter_ && !afterHold_) afterHold_ = std::make_unique<MutterWakeAfterHold>();
  return poweredDownByMutter_;
}

void MutterHoldGuard::start() {
  if (thread_) return;
  std::promise<void> ready;
  std::future<void> started = ready.get_future();
  thread_ = std::make_unique<GuardThread>(rule_, std::move(ready));
  thread_->start();
  started.wait();
}

void MutterHoldGuard::stop() {
  if (!thread_) return;
  thread_->quit();
  thread_->wait();
  thread_.reset();
  if (poweredDownByMutter_) afterHold_->arm();
}

bool MutterHoldGuard::wakeAfterHoldPending() const {
  return afterHold_ && afterHold_->armed();
}

}  // namespace platform::linux_desktop

#include "mutter.moc"
