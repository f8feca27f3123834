#pragma once

#include "Platform/Telephony/TelephonyService.h"

#include <QFile>
#include <QStringList>
#include <memory>

// A modem that dials nothing: it keeps each dialled string, and what a watched file held at
// the moment of the dial, so tests can tell what reached the modem and in what order.
class RecordingBackend : public TelephonyBackend
{
public:
    explicit RecordingBackend(QString watchedFile = QString()) : watchedFile(std::move(watchedFile))
    {
    }

    // Puts a new recording modem in place of whatever backend the telephony layer has.
    static RecordingBackend *install(const QString &watchedFile = QString())
    {
        auto backend = std::make_unique<RecordingBackend>(watchedFile);
        RecordingBackend *modem = backend.get();
        TelephonyService::shared().setBackend(std::move(backend));
        return modem;
    }

    QString name() const override { return QStringLiteral("Recording test modem"); }
    // Every dial has the outcome set for it (sent, unless the test says otherwise).
    void dial(const QString &dialString, DialCompletion done) override
    {
        done(outcome);
        dialled << dialString;
        if (watchedFile.isEmpty())
            return;
        QFile file(watchedFile);
        fileAtDial << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    void answer(const CTCall &call) override { answered << call; }
    void hangUp(const CTCall &call) override { hungUp << call; }
    void endCalls() override {}

    QStringList dialled;
    QList<QByteArray> fileAtDial;
    QList<CTCall> answered;
    QList<CTCall> hungUp;
    DialOutcome outcome = DialOutcome::sent();

private:
    QString watchedFile;
};
