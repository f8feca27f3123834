// From the call key to the modem receiving the request, through Debian's ModemManager daemon and
// an emulated modem, with 10,000 entries in the call log: what a phone does on each request.
#include "CallLogStore.h"
#include "DialerPadViewController.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/UIActivityIndicatorView.h"
#include "support/AtModemEmulator.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/ModemManagerDaemon.h"
#include "support/PrivateBus.h"
#include "support/TestMain.h"

#include <QLabel>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {
MolvaneAppDelegate *delegate = nullptr;
AtModemEmulator *modem = nullptr;
constexpr int loggedNumbers = 10000;

QString loggedNumber(int entry)
{
    return QStringLiteral("+7916%1").arg(entry % loggedNumbers, 7, 10, QLatin1Char('0'));
}

void fillCallLog()
{
    CallLog log;
    for (int entry = 0; entry < loggedNumbers; ++entry)
        log << CallLogEntry(loggedNumber(entry), QStringLiteral("2026-12-07 at 10:00")).toVariant();
    CallLogStore::shared().save(log);
}

void CallKeyToModem(benchmark::State &state)
{
    fillCallLog();
    const DialPadScreen screen(delegate->dialerPadViewController);
    QWidget *window = screen.dialPad->window();
    const QPoint callKey = screen.call->mapTo(window, screen.call->rect().center());
    int request = 0;
    double slowest = 0;
    for (auto _ : state) {
        screen.number->setText(loggedNumber(request++));
        const qsizetype before = modem->received().size();
        const qint64 tapped = modem->elapsed();
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, callKey);
        while (modem->received().size() == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = double(modem->received().at(before).atNanoseconds - tapped) / 1e9;
        state.SetIterationTime(seconds);
        slowest = std::max(slowest, seconds);
        // One request at a time, as a person makes them.
        while (screen.progress->isAnimating())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    state.counters["slowest_ms"] = slowest * 1000;
}
BENCHMARK(CallKeyToModem)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    IsolatedUserDirectories directories;
    PrivateBus systemBus{PrivateBus::System};
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    AtModemEmulator emulator;
    modem = &emulator;
    ModemManagerDaemon daemon(emulator);
    if (!daemon.start())
        qFatal("ModemManager did not start");
    TelephonyService::shared().startAutomaticSelection();
    LaunchedApplication launched;
    delegate = launched.delegate();
    while (TelephonyService::shared().backend().name() != QLatin1String("ModemManager"))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
