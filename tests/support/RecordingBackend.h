#pragma once

#include "Platform/Telephony/TelephonyBackend.h"

#include <QFile>
#include <QStringList>
#include <functional>

// A modem that dials nothing: it keeps each dialled string, and what a watched file held at
// the moment of the dial, so tests can tell what reached the modem and in what order.
class RecordingBackend : public TelephonyBackend
{
public:
    explicit RecordingBackend(QString watchedFile = QString()) : watchedFile(std::move(watchedFile))
    {
    }

    QString name() const override { return QStringLiteral("Recording test modem"); }
    void dial(const QString &dialString) override
    {
        dialled << dialString;
        if (watchedFile.isEmpty())
            return;
        QFile file(watchedFile);
        fileAtDial << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    void answer(const CTCall &call) override { answered << call; }

    QStringList dialled;
    QList<QByteArray> fileAtDial;
    QList<CTCall> answered;

private:
    QString watchedFile;
};
