// Address-book queries over 10,000 and 100,000 persons: the searches, the picture count, the
// picker's list of names, and what opening and saving cost at that size.
#include "ABContactsHelper.h"
#include "Platform/AddressBook/ABStore.h"
#include "support/Pictures.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
const QStringList FirstNames =
    QString::fromUtf8("Иван Алёна José Maria Пётр Ольга Jürgen Anna Сергей Élise Dmitry Наталья")
        .split(QLatin1Char(' '));
const QStringList LastNames =
    QString::fromUtf8("Ёлкин Petrov García Соловьёва Müller Smith Иванова Novak Dubois Кузнецов "
                      "Rossi Popescu")
        .split(QLatin1Char(' '));

ABRecordRef person(int index, const QByteArray &picture)
{
    ABRecordRef record = ABPersonCreate();
    const auto set = [&record](ABPropertyID property, const QString &value) {
        ABRecordSetValue(record, property, ABPropertyValue(value), nullptr);
    };
    set(kABPersonFirstNameProperty, FirstNames[index % FirstNames.size()]);
    set(kABPersonLastNameProperty,
        LastNames[(index / FirstNames.size()) % LastNames.size()] + QString::number(index));
    if (index % 7 == 0)
        set(kABPersonNicknameProperty, QStringLiteral("Nick%1").arg(index));
    ABMutableMultiValueRef phones = ABMultiValueCreateMutable(kABMultiStringPropertyType);
    ABMultiValueAddValueAndLabel(phones,
                                 QStringLiteral("+7 916 %1").arg(index, 7, 10, QLatin1Char('0')),
                                 kABPersonPhoneMobileLabel);
    ABMultiValueAddValueAndLabel(
        phones, QStringLiteral("8-495-%1").arg(index, 7, 10, QLatin1Char('0')), kABHomeLabel);
    ABRecordSetValue(record, kABPersonPhoneProperty, ABPropertyValue(ABMultiValueRef(phones)),
                     nullptr);
    if (index % 10 == 0)
        ABPersonSetImageData(record, picture, nullptr);
    return record;
}

// Points the store at a directory holding that many persons, filling it the first time.
void useAddressBookOf(int persons)
{
    static QTemporaryDir root;
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(QString::number(persons))));
    if (ABContactsHelper::contactsCount() == persons)
        return;
    const QByteArray picture = pngPicture(48, Qt::darkCyan);
    const ABAddressBookRef book = ABAddressBookCreate();
    for (int index = 0; index < persons; ++index)
        ABAddressBookAddRecord(book, person(index, picture), nullptr);
    ABAddressBookSave(book, nullptr);
}

void ContactsMatchingName(benchmark::State &state)
{
    useAddressBookOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ABContactsHelper::contactsMatchingName(QString::fromUtf8("елк")));
    state.counters["found"] =
        double(ABContactsHelper::contactsMatchingName(QString::fromUtf8("елк")).size());
}
BENCHMARK(ContactsMatchingName)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ContactsMatchingNameAndName(benchmark::State &state)
{
    useAddressBookOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ABContactsHelper::contactsMatchingName(QStringLiteral("jose"), QStringLiteral("garc")));
}
BENCHMARK(ContactsMatchingNameAndName)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ContactsMatchingPhone(benchmark::State &state)
{
    useAddressBookOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ABContactsHelper::contactsMatchingPhone(QStringLiteral("916 00012")));
}
BENCHMARK(ContactsMatchingPhone)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ContactsWithImageCount(benchmark::State &state)
{
    useAddressBookOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ABContactsHelper::contactsWithImageCount());
}
BENCHMARK(ContactsWithImageCount)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// What the person picker needs to show its list.
void AllPeopleWithCompositeNames(benchmark::State &state)
{
    useAddressBookOf(int(state.range(0)));
    for (auto _ : state) {
        const QList<ABRecordRef> people = ABAddressBookCopyArrayOfAllPeople(ABAddressBookCreate());
        QStringList names;
        names.reserve(people.size());
        for (const ABRecordRef &person : people)
            names.append(ABRecordCopyCompositeName(person).value_or(QString()));
        benchmark::DoNotOptimize(names);
    }
}
BENCHMARK(AllPeopleWithCompositeNames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Reading the whole file, as after a start or a change by another process.
void OpenFromFile(benchmark::State &state)
{
    useAddressBookOf(int(state.range(0)));
    for (auto _ : state) {
        ABStore::closeShared();
        benchmark::DoNotOptimize(ABAddressBookCreate());
    }
}
BENCHMARK(OpenFromFile)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void SaveOneChange(benchmark::State &state)
{
    useAddressBookOf(int(state.range(0)));
    int round = 0;
    for (auto _ : state) {
        const ABAddressBookRef book = ABAddressBookCreate();
        const ABRecordRef first = ABAddressBookCopyArrayOfAllPeople(book).front();
        ABRecordSetValue(first, kABPersonNoteProperty, ABPropertyValue(QString::number(++round)),
                         nullptr);
        benchmark::DoNotOptimize(ABAddressBookSave(book, nullptr));
    }
}
BENCHMARK(SaveOneChange)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ABStore::closeShared();
    return 0;
}
