// From the call key to the dial reaching the telephony layer, with call logs of several sizes.
// Each request re-requests a number already in the log, so the log keeps its size.
#include "CallLogStore.h"
#include "DialerPadViewController.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QLabel>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {
MolvaneAppDelegate *delegate = nullptr;
RecordingBackend *modem = nullptr;

void fillCallLog(int entries)
{
    CallLog log;
    for (int entry = 0; entry < entries; ++entry)
        log << CallLogEntry(QStringLiteral("+7916%1").arg(entry, 7, 10, QLatin1Char('0')),
                            QStringLiteral("2026-12-07 at 10:00"))
                   .toVariant();
    CallLogStore::shared().save(log);
}

void CallKeyToDial(benchmark::State &state)
{
    const int entries = int(state.range(0));
    fillCallLog(entries);
    DialerPadViewController *dialPad = delegate->dialerPadViewController;
    const DialPadScreen screen(dialPad);
    int request = 0;
    qint64 slowest = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        screen.number->setText(
            QStringLiteral("+7916%1").arg(request++ % entries, 7, 10, QLatin1Char('0')));
        clock.start();
        dialPad->MakeCallToServer(screen.call);
        slowest = std::max(slowest, clock.nsecsElapsed());
    }
    state.counters["dials"] = double(modem->dialled.size());
    state.counters["slowest_ms"] = double(slowest) / 1e6;
    modem->dialled.clear();
    modem->fileAtDial.clear();
}
BENCHMARK(CallKeyToDial)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    // The diagnostic log as a phone has it: off unless asked for.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    IsolatedUserDirectories directories;
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    LaunchedApplication launched;
    delegate = launched.delegate();
    auto backend = std::make_unique<RecordingBackend>();
    modem = backend.get();
    TelephonyService::shared().setBackend(std::move(backend));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
