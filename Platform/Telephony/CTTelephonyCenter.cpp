#include "Platform/Telephony/CTTelephonyCenter.h"

#include <QGuiApplication>
#include <algorithm>

CTTelephonyCenter::CTTelephonyCenter(QObject *parent) : QObject(parent)
{
    if (auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(application, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    setSuspended(state == Qt::ApplicationSuspended);
                });
}

void CTTelephonyCenter::addObserver(void *observer, CTTelephonyCallback callback,
                                    const std::optional<QString> &name, const void *object,
                                    CFNotificationSuspensionBehavior suspensionBehavior)
{
    registrations.push_back(
        {nextRegistrationID++, observer, callback, name, object, suspensionBehavior});
}

void CTTelephonyCenter::removeObserver(const void *observer, const std::optional<QString> &name,
                                       const void *object)
{
    std::erase_if(registrations, [&](const Registration &registration) {
        return registration.observer == observer && (!name || registration.name == name) &&
               (!object || registration.object == object);
    });
    std::erase_if(held, [this](const auto &entry) { return !stands(entry.first.id); });
}

bool CTTelephonyCenter::matches(const Registration &registration, const Notification &notification)
{
    return (!registration.name || *registration.name == notification.name) &&
           (!registration.object || registration.object == notification.object);
}

void CTTelephonyCenter::postNotification(const QString &name, const void *object,
                                         const QVariantMap &userInfo)
{
    const Notification notification{name, object, userInfo};
    // A callback may add or remove registrations; deliver to those standing at the post.
    const std::vector<Registration> standing = registrations;
    for (const Registration &registration : standing) {
        if (!matches(registration, notification) || !stands(registration.id))
            continue;
        if (isSuspended() &&
            registration.suspensionBehavior != CFNotificationSuspensionBehaviorDeliverImmediately)
            hold(registration, notification);
        else
            deliver(registration, notification);
    }
}

void CTTelephonyCenter::hold(const Registration &registration, const Notification &notification)
{
    switch (registration.suspensionBehavior) {
    case CFNotificationSuspensionBehaviorDrop:
    case CFNotificationSuspensionBehaviorDeliverImmediately:
        return;
    case CFNotificationSuspensionBehaviorCoalesce:
        std::erase_if(held, [&](const auto &entry) {
            return entry.first.id == registration.id && entry.second.name == notification.name;
        });
        break;
    case CFNotificationSuspensionBehaviorHold:
        break;
    }
    held.emplace_back(registration, notification);
}

void CTTelephonyCenter::deliver(const Registration &registration, const Notification &notification)
{
    registration.callback(this, registration.observer, notification.name, notification.object,
                          notification.userInfo);
}

bool CTTelephonyCenter::stands(quint64 registrationID) const
{
    return std::any_of(registrations.begin(), registrations.end(),
                       [registrationID](const Registration &registration) {
                           return registration.id == registrationID;
                       });
}

void CTTelephonyCenter::setSuspended(bool isNowSuspended)
{
    suspended = isNowSuspended;
    if (suspended)
        return;
    const auto pending = std::exchange(held, {});
    for (const auto &[registration, notification] : pending) {
        if (stands(registration.id))
            deliver(registration, notification);
    }
}

CTTelephonyCenter *CTTelephonyCenterGetDefault()
{
    static CTTelephonyCenter *center = new CTTelephonyCenter(QCoreApplication::instance());
    return center;
}

void CTTelephonyCenterAddObserver(CTTelephonyCenter *center, void *observer,
                                  CTTelephonyCallback callback, const std::optional<QString> &name,
                                  const void *object,
                                  CFNotificationSuspensionBehavior suspensionBehavior)
{
    center->addObserver(observer, callback, name, object, suspensionBehavior);
}

void CTTelephonyCenterRemoveObserver(CTTelephonyCenter *center, const void *observer,
                                     const std::optional<QString> &name, const void *object)
{
    center->removeObserver(observer, name, object);
}
