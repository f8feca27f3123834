#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QVariantList>

// One python-dbusmock service on the test's private system or session bus, made from a template
// (a name dbusmock knows, or a file), that can be stopped and started again. Every method call it
// takes is recorded, in order of arrival.
class DBusMock : public QObject
{
    Q_OBJECT

public:
    struct Call
    {
        QString path;
        QString method;
        QVariantList arguments;
    };

    DBusMock(QString busName, QString templateName, QVariantMap parameters = {},
             QDBusConnection::BusType busType = QDBusConnection::SystemBus);
    ~DBusMock() override;

    // Both return once the service's name is owned, or no longer owned, on the bus.
    bool start();
    bool stop();
    bool isRunning() const { return process.state() != QProcess::NotRunning; }

    QList<Call> calls;
    // The arguments of every call of the method, in order.
    QList<QVariantList> callsOf(const QString &method) const;
    // The methods called, in order.
    QStringList methodsCalled() const;
    // The object each call of the method went to, in order.
    QStringList pathsOf(const QString &method) const;

    // Calls the mock and waits for its answer; a failure is a test failure.
    QDBusMessage control(const QString &path, const QString &method, const QVariantList &arguments,
                         const QString &interface = mockInterface) const;
    // Returns once this process has handled the mock's answers to everything sent to it before,
    // and the bus's, should the mock not run: both answer in order.
    void catchUp() const;
    // Adds a method, given as python code, to an object of the mock.
    void addMethod(const QString &path, const QString &interface, const QString &name,
                   const QString &inSignature, const QString &outSignature,
                   const QString &code) const;

    static inline const QString mockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

protected:
    // Runs once the service is on the bus, before start returns.
    virtual void prepare() {}

private Q_SLOTS:
    void record(const QDBusMessage &signal);

private:
    bool waitForOwner(bool owned) const;
    QString errorFile() const;
    void showErrors() const;

    QString busName;
    QStringList arguments;
    QTemporaryDir directory;
    QProcess process;
    QDBusConnection bus;
};

// The text as a python string literal.
QString pythonString(const QString &text);
