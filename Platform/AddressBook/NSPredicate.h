#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// An object whose string properties a predicate can read by name.
class NSKeyValueCoding
{
public:
    virtual ~NSKeyValueCoding() = default;
    // The property's text, or nothing when the object has no such value.
    virtual std::optional<QString> valueForKey(const QString &key) const = 0;
};

// A text predicate over named properties, built from a format such as
// "firstname contains[cd] %@ OR lastname contains[cd] %@". Understood: the comparisons
// contains, beginswith, endswith and ==, each with the options [c] (ignore case), [d] (ignore
// diacritic marks) or [cd]; AND binds closer than OR. Each %@ takes the next argument.
class NSPredicate
{
public:
    // Nothing when the format is not understood or the arguments do not match its %@.
    static std::optional<NSPredicate> predicateWithFormat(const QString &format,
                                                          const QStringList &arguments);

    bool evaluateWithObject(const NSKeyValueCoding &object) const;

    struct Comparison
    {
        enum class Operator
        {
            Contains,
            BeginsWith,
            EndsWith,
            Equals
        };
        QString key;
        Operator op;
        bool ignoreCase;
        bool ignoreDiacritics;
        QString foldedArgument;
    };

private:
    // Any of the groups holds when all of its comparisons hold.
    std::vector<std::vector<Comparison>> alternatives;
};

// Text compared without case and diacritic marks, character by character in Unicode:
// "Ёлкин" folds to "елкин", "José" to "jose".
QString NSStringFoldForComparison(QStringView text, bool ignoreCase, bool ignoreDiacritics);

// The entries (pointers to objects that can be read by key) for which the predicate holds, in
// their order.
template <typename Pointer>
QList<Pointer> filteredArrayUsingPredicate(const QList<Pointer> &array,
                                           const NSPredicate &predicate)
{
    QList<Pointer> result;
    for (const Pointer &object : array) {
        if (object && predicate.evaluateWithObject(*object))
            result.append(object);
    }
    return result;
}
