// The phone's own address book with 10,000 persons, as the real evolution-data-server daemons
// keep it: from the picker's tap to its list settled, a name typed into its search, and the
// memory the picker adds.
#include "ABContactsHelper.h"
#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"
#include "Platform/AddressBook/ABStore.h"
#include "support/EdsDaemons.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <benchmark/benchmark.h>

namespace {
constexpr int Persons = 10000;

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    status.open(QIODevice::ReadOnly);
    const QList<QByteArray> pages = status.readAll().split(' ');
    return pages.value(1).toDouble() * 4096 / (1024 * 1024);
}

// The picker as the dial pad opens it, once its list holds everyone.
std::unique_ptr<ABPeoplePickerNavigationController> settledPicker()
{
    auto picker = std::make_unique<ABPeoplePickerNavigationController>();
    picker->resize(360, 720);
    picker->view()->show();
    while (picker->listedNames().size() < Persons)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return picker;
}

void PickerTapToSettled(benchmark::State &state)
{
    const double before = residentMiB();
    double added = 0;
    for (auto _ : state) {
        ABStore::closeShared();
        QElapsedTimer timer;
        timer.start();
        const auto picker = settledPicker();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        added = residentMiB() - before;
    }
    state.counters["resident_MiB_added"] = added;
}
BENCHMARK(PickerTapToSettled)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

void PickerNameSearch(benchmark::State &state)
{
    const auto picker = settledPicker();
    const QStringList names = QString::fromUtf8("ива jos пёт smi").split(QLatin1Char(' '));
    int next = 0;
    for (auto _ : state) {
        // A different name each time, so nothing is served from the last search.
        picker->searchField()->setText(names[next++ % names.size()]);
        benchmark::DoNotOptimize(picker->listedNames().size());
    }
}
BENCHMARK(PickerNameSearch)->Unit(benchmark::kMillisecond);

void ContactsMatchingName(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ABContactsHelper::contactsMatchingName(QString::fromUtf8("ива")));
}
BENCHMARK(ContactsMatchingName)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("MOLVANE_ADDRESS_BOOK", "eds");
    IsolatedUserDirectories directories;
    EdsDaemons daemons;
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    if (!daemons.start())
        qFatal("evolution-data-server did not start");
    QProcess fill;
    fill.start(QStringLiteral("/usr/bin/python3"),
               {qEnvironmentVariable("MOLVANE_SOURCE_DIR", QStringLiteral(".")) +
                    QStringLiteral("/tests/support/eds_client.py"),
                QStringLiteral("fill"), QString::number(Persons)});
    if (!fill.waitForFinished(120000) || fill.exitCode() != 0)
        qFatal("the address book could not be filled: %s", fill.readAllStandardError().data());
    if (ABContactsHelper::contactsCount() != Persons)
        qFatal("the address book holds %d persons, not %d", ABContactsHelper::contactsCount(),
               Persons);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    ABStore::closeShared();
    return 0;
}
