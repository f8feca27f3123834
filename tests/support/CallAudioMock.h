#pragma once

#include "support/DBusMock.h"

#include <QDir>

// callaudiod as a phone runs it, on the test's session bus: it takes every request.
class CallAudioMock : public DBusMock
{
public:
    CallAudioMock()
        : DBusMock("org.mobian_project.CallAudio",
                   QDir(qEnvironmentVariable("MOLVANE_SOURCE_DIR"))
                       .filePath("tests/support/callaudiod_template.py"),
                   {}, QDBusConnection::SessionBus)
    {
    }

    // Each request as "Method argument", in order: "SelectMode 1", "EnableSpeaker true".
    QStringList requests() const
    {
        QStringList made;
        for (const Call &call : calls)
            made << call.method + " " + call.arguments.value(0).toString();
        return made;
    }
};
