#include "Platform/AddressBook/NSPredicate.h"
#include "support/TestMain.h"

#include <QHash>

namespace {
class Record : public NSKeyValueCoding
{
public:
    explicit Record(QHash<QString, QString> values) : values(std::move(values)) {}
    std::optional<QString> valueForKey(const QString &key) const override
    {
        return values.contains(key) ? std::optional<QString>(values.value(key)) : std::nullopt;
    }

private:
    QHash<QString, QString> values;
};

bool holds(const QString &format, const QStringList &arguments, const Record &record)
{
    const std::optional<NSPredicate> predicate =
        NSPredicate::predicateWithFormat(format, arguments);
    return predicate && predicate->evaluateWithObject(record);
}
} // namespace

class NSPredicateTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void foldingIgnoresCaseAndMarksAcrossScripts()
    {
        QCOMPARE(NSStringFoldForComparison(u"Ёлкин", true, true), QString("елкин"));
        QCOMPARE(NSStringFoldForComparison(u"JOSÉ Ñandú", true, true), QString("jose nandu"));
        // Marks over marks go too; a compatibility ligature stays one letter.
        QCOMPARE(NSStringFoldForComparison(u"Ǖber Ångström", true, true), QString("uber angstrom"));
        QCOMPARE(NSStringFoldForComparison(u"Ǆ", true, true), QString("ǆ"));
        QCOMPARE(NSStringFoldForComparison(u"Ελένη", true, true), QString("ελενη"));
        QCOMPARE(NSStringFoldForComparison(u"José", true, false), QString("josé"));
        QCOMPARE(NSStringFoldForComparison(u"José", false, true), QString("Jose"));
        // Characters outside the basic plane pass through unchanged.
        QCOMPARE(NSStringFoldForComparison(u"a😀b", true, true), QString("a😀b"));
    }

    void comparisonsAndTheirOptions()
    {
        const Record ivan({{"name", "Иван Ёлкин"}});
        QVERIFY(holds("name contains[cd] %@", {"ЕЛК"}, ivan));
        QVERIFY(!holds("name contains %@", {"елк"}, ivan));
        QVERIFY(!holds("name contains[c] %@", {"елк"}, ivan));
        QVERIFY(holds("name contains[d] %@", {"Елк"}, ivan));
        QVERIFY(holds("name BEGINSWITH[c] %@", {"иван"}, ivan));
        QVERIFY(holds("name endswith[cd] %@", {"ЕЛКИН"}, ivan));
        QVERIFY(holds("name ==[cd] %@", {"иван елкин"}, ivan));
        QVERIFY(!holds("missing contains %@", {""}, ivan));
    }

    void andBindsCloserThanOr()
    {
        const Record record({{"a", "x"}, {"b", "y"}});
        QVERIFY(
            holds("a contains %@ AND b contains %@ OR a contains %@", {"x", "no", "x"}, record));
        QVERIFY(
            !holds("a contains %@ AND b contains %@ OR a contains %@", {"x", "no", "no"}, record));
        QVERIFY(
            holds("a contains %@ or b contains %@ and b contains %@", {"no", "y", "y"}, record));
    }

    void malformedFormatsGiveNothing()
    {
        QVERIFY(!NSPredicate::predicateWithFormat("name contains[cd] %@", {}));
        QVERIFY(!NSPredicate::predicateWithFormat("name contains[cd] %@", {"a", "b"}));
        QVERIFY(!NSPredicate::predicateWithFormat("name matches %@", {"a"}));
        QVERIFY(!NSPredicate::predicateWithFormat("name contains[cd] 'a'", {"a"}));
        QVERIFY(NSPredicate::predicateWithFormat("name contains[cd] %@ ", {"a"}));
    }
};

MOLVANE_TEST_MAIN(NSPredicateTest)
#include "tst_NSPredicate.moc"
