#pragma once

#include <QRandomGenerator>
#include <QtGlobal>

// The one generator of a randomized test. Its seed comes from MOLVANE_TEST_SEED when set, so a
// failure can be replayed with the same choices, and is fresh otherwise; the first use prints it.
inline QRandomGenerator &testRandom()
{
    static QRandomGenerator generator = [] {
        quint32 seed = QRandomGenerator::system()->generate();
        if (qEnvironmentVariableIsSet("MOLVANE_TEST_SEED")) {
            bool isNumber = false;
            seed = qEnvironmentVariable("MOLVANE_TEST_SEED").toUInt(&isNumber);
            if (!isNumber)
                qFatal("MOLVANE_TEST_SEED is not a seed: %s",
                       qgetenv("MOLVANE_TEST_SEED").constData());
        }
        qInfo("seed: %u — set MOLVANE_TEST_SEED=%u to replay", seed, seed);
        return QRandomGenerator(seed);
    }();
    return generator;
}
