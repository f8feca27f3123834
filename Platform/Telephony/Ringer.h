#pragma once

#include "Platform/Telephony/DBusClient.h"

#include <QObject>
#include <optional>

// Rings and vibrates for an incoming call, through feedbackd on the session bus, until stopped.
// Without feedbackd nothing rings, and the log says so once.
class Ringer : public QObject
{
    Q_OBJECT

public:
    explicit Ringer(QObject *parent = nullptr);
    // A ring left going would go on after the call.
    ~Ringer() override;

    void start();
    void stop();
    bool isRinging() const { return ringing; }

private:
    DBusClient &feedbackd();
    void triggered(uint id);
    void end(uint id);

    std::optional<DBusClient> client;
    bool ringing = false;
    // TriggerFeedback has not answered yet; its answer keeps or ends the ring.
    bool triggering = false;
    std::optional<uint> feedbackId;
};
