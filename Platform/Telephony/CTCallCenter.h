#pragma once

#include "Platform/Telephony/CTCall.h"

#include <QObject>
#include <functional>

// Runs its handler with the call concerned for every call event while it lives.
class CTCallCenter : public QObject
{
    Q_OBJECT

public:
    using CallEventHandler = std::function<void(const CTCall &call)>;

    explicit CTCallCenter(QObject *parent = nullptr);
    void setCallEventHandler(CallEventHandler handler);

private:
    CallEventHandler callEventHandler;
};
