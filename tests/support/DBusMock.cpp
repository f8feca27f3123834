#include "support/DBusMock.h"

#include "support/PrivateBus.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

DBusMock::DBusMock(QString busName, QString templateName, QVariantMap parameters,
                   QDBusConnection::BusType busType)
    : busName(std::move(busName)),
      bus(busType == QDBusConnection::SystemBus ? QDBusConnection::systemBus()
                                                : QDBusConnection::sessionBus())
{
    arguments = QStringList{"-m", "dbusmock",
                            busType == QDBusConnection::SystemBus ? "--system" : "--session",
                            "--template", templateName};
    if (!parameters.isEmpty())
        arguments << "--parameters"
                  << QJsonDocument(QJsonObject::fromVariantMap(parameters)).toJson();
    // Every object of the mock says what it was asked.
    if (!bus.connect(this->busName, QString(), mockInterface, "MethodCalled", this,
                     SLOT(record(QDBusMessage))))
        qFatal("cannot watch the mock's calls: %s", qPrintable(bus.lastError().message()));
}

DBusMock::~DBusMock()
{
    stop();
}

bool DBusMock::start()
{
    // The mock's own log of calls goes nowhere: the calls are recorded here. What it says on
    // errors is shown when a test fails.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(errorFile());
    startTiedToTest(process, "/usr/bin/python3", arguments);
    if (!process.waitForStarted(5000) || !waitForOwner(true)) {
        showErrors();
        return false;
    }
    prepare();
    return true;
}

bool DBusMock::stop()
{
    if (process.state() == QProcess::NotRunning)
        return true;
    process.terminate();
    if (!process.waitForFinished(3000))
        process.kill();
    process.waitForFinished(1000);
    if (QTest::currentTestFailed())
        showErrors();
    return waitForOwner(false);
}

QString DBusMock::errorFile() const
{
    return directory.filePath("stderr");
}

void DBusMock::showErrors() const
{
    QFile file(errorFile());
    if (file.open(QIODevice::ReadOnly))
        qWarning("%s said:\n%s", qPrintable(busName), file.readAll().constData());
}

bool DBusMock::waitForOwner(bool owned) const
{
    return QTest::qWaitFor(
        [&] { return bus.interface()->isServiceRegistered(busName).value() == owned; }, 5000);
}

void DBusMock::record(const QDBusMessage &signal)
{
    calls.append({signal.path(), signal.arguments().value(0).toString(),
                  qdbus_cast<QVariantList>(signal.arguments().value(1))});
}

QList<QVariantList> DBusMock::callsOf(const QString &method) const
{
    QList<QVariantList> found;
    for (const Call &call : calls) {
        if (call.method == method)
            found.append(call.arguments);
    }
    return found;
}

QStringList DBusMock::methodsCalled() const
{
    QStringList methods;
    for (const Call &call : calls)
        methods.append(call.method);
    return methods;
}

QStringList DBusMock::pathsOf(const QString &method) const
{
    QStringList paths;
    for (const Call &call : calls) {
        if (call.method == method)
            paths.append(call.path);
    }
    return paths;
}

QDBusMessage DBusMock::control(const QString &path, const QString &method,
                               const QVariantList &arguments, const QString &interface) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(busName, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus.call(message, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage)
        qFatal("mock %s failed: %s", qPrintable(method), qPrintable(reply.errorMessage()));
    return reply;
}

void DBusMock::catchUp() const
{
    // libdbus answers a Ping itself, on any object.
    QDBusMessage ping =
        QDBusMessage::createMethodCall(busName, "/", "org.freedesktop.DBus.Peer", "Ping");
    ping.setAutoStartService(false);
    QDBusPendingCallWatcher watcher(bus.asyncCall(ping));
    QSignalSpy answered(&watcher, &QDBusPendingCallWatcher::finished);
    QVERIFY(answered.wait());
}

void DBusMock::addMethod(const QString &path, const QString &interface, const QString &name,
                         const QString &inSignature, const QString &outSignature,
                         const QString &code) const
{
    control(path, "AddMethod", {interface, name, inSignature, outSignature, code});
}

QString pythonString(const QString &text)
{
    // A JSON string is a python string literal too.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}
