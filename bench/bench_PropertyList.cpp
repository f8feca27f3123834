// Reading and writing a call-log-shaped property list whole, at several sizes.
#include "Platform/Files/PropertyList.h"
#include "support/TestMain.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
QVariantList callLogOf(int entries)
{
    QVariantList log;
    for (int entry = 0; entry < entries; ++entry)
        log << QVariantMap{{QStringLiteral("phone_number"),
                            QStringLiteral("+7916%1").arg(entry, 7, 10, QLatin1Char('0'))},
                           {QStringLiteral("phone_time"), QStringLiteral("2026-12-07 at 10:00")}};
    return log;
}

QString scratchFile()
{
    static QTemporaryDir directory;
    return directory.filePath(QStringLiteral("log.plist"));
}

void Write(benchmark::State &state)
{
    const QVariantList log = callLogOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(WritePropertyListAtomically(scratchFile(), log));
}
BENCHMARK(Write)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void Read(benchmark::State &state)
{
    WritePropertyListAtomically(scratchFile(), callLogOf(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadPropertyListArray(scratchFile()));
}
BENCHMARK(Read)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
