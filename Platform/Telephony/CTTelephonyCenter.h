#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <optional>
#include <vector>

class CTTelephonyCenter;

using CTTelephonyCallback = void (*)(CTTelephonyCenter *center, void *observer, const QString &name,
                                     const void *object, const QVariantMap &userInfo);

// What happens to a notification posted while the application is suspended.
enum CFNotificationSuspensionBehavior
{
    CFNotificationSuspensionBehaviorDrop = 1,
    CFNotificationSuspensionBehaviorCoalesce = 2,
    CFNotificationSuspensionBehaviorHold = 3,
    CFNotificationSuspensionBehaviorDeliverImmediately = 4,
};

// The user-information key under which a telephony notification carries its call.
inline const QString kCTCall = QStringLiteral("kCTCall");
inline const QString kCTCallStatusChangeNotification =
    QStringLiteral("kCTCallStatusChangeNotification");

// The process's telephony notification center: registered callbacks hear every telephony
// notification that matches their name and object.
class CTTelephonyCenter : public QObject
{
    Q_OBJECT

public:
    explicit CTTelephonyCenter(QObject *parent = nullptr);

    void addObserver(void *observer, CTTelephonyCallback callback,
                     const std::optional<QString> &name, const void *object,
                     CFNotificationSuspensionBehavior suspensionBehavior);
    // Removes every registration of the observer (none matches registrations made with none)
    // that matches the name and object; an absent name or object matches any.
    void removeObserver(const void *observer, const std::optional<QString> &name,
                        const void *object);

    void postNotification(const QString &name, const void *object, const QVariantMap &userInfo);

    int registrationCount() const { return int(registrations.size()); }

    // Follows the application's state; held notifications are delivered on resumption.
    void setSuspended(bool suspended);
    bool isSuspended() const { return suspended; }

private:
    struct Registration
    {
        quint64 id;
        void *observer;
        CTTelephonyCallback callback;
        std::optional<QString> name;
        const void *object;
        CFNotificationSuspensionBehavior suspensionBehavior;
    };
    struct Notification
    {
        QString name;
        const void *object;
        QVariantMap userInfo;
    };

    static bool matches(const Registration &registration, const Notification &notification);
    void deliver(const Registration &registration, const Notification &notification);
    void hold(const Registration &registration, const Notification &notification);
    bool stands(quint64 registrationID) const;

    std::vector<Registration> registrations;
    quint64 nextRegistrationID = 1;
    bool suspended = false;
    // Notifications held for registrations while the application is suspended, in order.
    std::vector<std::pair<Registration, Notification>> held;
};

CTTelephonyCenter *CTTelephonyCenterGetDefault();
void CTTelephonyCenterAddObserver(CTTelephonyCenter *center, void *observer,
                                  CTTelephonyCallback callback, const std::optional<QString> &name,
                                  const void *object,
                                  CFNotificationSuspensionBehavior suspensionBehavior);
void CTTelephonyCenterRemoveObserver(CTTelephonyCenter *center, const void *observer,
                                     const std::optional<QString> &name, const void *object);
