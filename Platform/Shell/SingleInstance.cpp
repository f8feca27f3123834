#include "Platform/Shell/SingleInstance.h"

#include "Platform/Log.h"

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>

namespace {
const QString applicationInterface = QStringLiteral("org.freedesktop.Application");
const QString activationTokenKey = QStringLiteral("activation-token");
const QString startupIdKey = QStringLiteral("desktop-startup-id");
// A primary that owns the name but has not started its loop answers late; one that hangs
// must not hold a launch for long.
constexpr int handOverMilliseconds = 10000;

// Launchers before GLib 2.76 send only the startup id; newer ones the activation token too.
QString tokenIn(const QVariantMap &platformData)
{
    const QString token = platformData.value(activationTokenKey).toString();
    return token.isEmpty() ? platformData.value(startupIdKey).toString() : token;
}
} // namespace

// What other programs on the session bus may call. None of it dials or answers: at most the
// window shows and a number is put on the dial pad.
class ApplicationInterface : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationInterface(SingleInstance *instance)
        : QDBusAbstractAdaptor(instance), instance(instance)
    {
    }

public Q_SLOTS:
    void Activate(const QVariantMap &platformData)
    {
        Q_EMIT instance->activated(tokenIn(platformData));
    }
    void Open(const QStringList &uris, const QVariantMap &platformData)
    {
        Q_EMIT instance->opened(uris, tokenIn(platformData));
    }
    void ActivateAction(const QString &action, const QVariantList &parameters,
                        const QVariantMap &platformData)
    {
        Q_EMIT instance->actionActivated(action, parameters, tokenIn(platformData));
    }

private:
    SingleInstance *instance;
};

SingleInstance::SingleInstance(QString appId, QObject *parent)
    : QObject(parent), appId(std::move(appId)), bus(QDBusConnection::sessionBus())
{
    new ApplicationInterface(this);
}

SingleInstance::~SingleInstance()
{
    if (!exported)
        return;
    bus.unregisterService(appId);
    bus.unregisterObject(objectPath());
}

QString SingleInstance::objectPath() const
{
    return u'/' + QString(appId).replace(u'.', u'/');
}

SingleInstance::Role SingleInstance::claim(const QStringList &links)
{
    if (!bus.isConnected()) {
        qCWarning(lcMolvane).noquote()
            << "No session bus, so this window runs on its own:" << bus.lastError().message();
        return Alone;
    }
    // Exported before the name is owned, so a launch handed over at once finds it.
    exported = bus.registerObject(objectPath(), this, QDBusConnection::ExportAdaptors);
    // A primary that ends while this launch is handed over leaves the name free: try once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (bus.registerService(appId))
            return Primary;
        if (handOver(links))
            return HandedOver;
    }
    qCWarning(lcMolvane).noquote()
        << "The running" << appId << "does not answer, so this window runs on its own";
    return Alone;
}

bool SingleInstance::handOver(const QStringList &links) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(appId, objectPath(), applicationInterface,
                                                       links.isEmpty() ? QStringLiteral("Activate")
                                                                       : QStringLiteral("Open"));
    QVariantMap platformData;
    if (const QString token = launchToken(); !token.isEmpty())
        platformData = {{activationTokenKey, token}, {startupIdKey, token}};
    if (links.isEmpty())
        call << platformData;
    else
        call << links << platformData;
    const QDBusMessage reply = bus.call(call, QDBus::Block, handOverMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage)
        qCInfo(lcMolvane).noquote() << "Handing the launch over failed:" << reply.errorMessage();
    return reply.type() == QDBusMessage::ReplyMessage;
}

QString SingleInstance::launchToken()
{
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    return token.isEmpty() ? qEnvironmentVariable("DESKTOP_STARTUP_ID") : token;
}

#include "SingleInstance.moc"
