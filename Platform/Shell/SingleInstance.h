#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// One running app per session. The first launch owns the app's name on the session bus and takes
// launches through org.freedesktop.Application, as desktop launchers and `gapplication` call it;
// a later launch hands its links and its launcher's token over there and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum Role
    {
        Primary,    // owns the name: later launches reach this process
        HandedOver, // another instance took the launch: this process ends
        Alone,      // no session bus: runs on its own
    };

    explicit SingleInstance(QString appId, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Becomes the primary instance, or hands the links and the launcher's token (from the
    // environment) over to the one running.
    Role claim(const QStringList &links);

    // The token a launcher gave this process, to raise the window it opens.
    static QString launchToken();

Q_SIGNALS:
    void activated(const QString &token);
    void opened(const QStringList &links, const QString &token);
    void actionActivated(const QString &action, const QVariantList &parameters,
                         const QString &token);

private:
    bool handOver(const QStringList &links) const;
    QString objectPath() const;

    QString appId;
    QDBusConnection bus;
    bool exported = false;
};
