#include "Platform/AddressBook/NSPredicate.h"

#include <QRegularExpression>
#include <QVarLengthArray>
#include <array>

namespace {
// What one UTF-16 unit becomes with diacritics removed and case folded; 0 drops it.
class FoldingTable
{
public:
    FoldingTable()
    {
        for (char32_t unit = 0; unit < caseFolded.size(); ++unit)
            caseFolded[unit] = char16_t(QChar::toCaseFolded(unit));
        for (char32_t unit = 0; unit < table.size(); ++unit)
            table[unit] = fold(char16_t(unit));
    }
    char16_t folded(char16_t unit, bool ignoreCase, bool ignoreDiacritics) const
    {
        if (ignoreDiacritics && ignoreCase)
            return table[unit];
        if (ignoreDiacritics)
            return withoutDiacritics(unit);
        return ignoreCase ? caseFolded[unit] : unit;
    }

private:
    // The base character of a canonical decomposition, followed down to the end, and nothing
    // for a combining mark.
    static char16_t withoutDiacritics(char16_t unit)
    {
        QChar character(unit);
        if (character.isSurrogate())
            return unit;
        if (character.category() == QChar::Mark_NonSpacing)
            return 0;
        while (character.decompositionTag() == QChar::Canonical) {
            const QString decomposition = character.decomposition();
            if (decomposition.isEmpty() || decomposition.front().isSurrogate())
                break;
            character = decomposition.front();
        }
        return character.unicode();
    }
    char16_t fold(char16_t unit) const
    {
        const char16_t base = withoutDiacritics(unit);
        if (base == 0)
            return 0;
        // Folding case can bring back a decomposable letter (e.g. a title-case digraph).
        return withoutDiacritics(caseFolded[base]);
    }

    std::array<char16_t, 0x10000> table{};
    std::array<char16_t, 0x10000> caseFolded{};
};

const FoldingTable &foldingTable()
{
    static const FoldingTable table;
    return table;
}

// Folds into a caller's buffer, so a comparison allocates nothing for ordinary names.
using FoldBuffer = QVarLengthArray<char16_t, 128>;

QStringView foldInto(FoldBuffer &buffer, QStringView text, bool ignoreCase, bool ignoreDiacritics)
{
    if (!ignoreCase && !ignoreDiacritics)
        return text;
    const FoldingTable &table = foldingTable();
    buffer.clear();
    for (const QChar character : text) {
        if (const char16_t folded = table.folded(character.unicode(), ignoreCase, ignoreDiacritics))
            buffer.append(folded);
    }
    return QStringView(buffer.constData(), buffer.size());
}

bool compare(const NSPredicate::Comparison &comparison, QStringView value)
{
    FoldBuffer buffer;
    const QStringView folded =
        foldInto(buffer, value, comparison.ignoreCase, comparison.ignoreDiacritics);
    switch (comparison.op) {
    case NSPredicate::Comparison::Operator::Contains:
        return folded.contains(comparison.foldedArgument);
    case NSPredicate::Comparison::Operator::BeginsWith:
        return folded.startsWith(comparison.foldedArgument);
    case NSPredicate::Comparison::Operator::EndsWith:
        return folded.endsWith(comparison.foldedArgument);
    case NSPredicate::Comparison::Operator::Equals:
        return folded == comparison.foldedArgument;
    }
    return false;
}

std::optional<NSPredicate::Comparison::Operator> operatorNamed(const QString &name)
{
    using Operator = NSPredicate::Comparison::Operator;
    const QString lower = name.toLower();
    if (lower == QLatin1String("contains"))
        return Operator::Contains;
    if (lower == QLatin1String("beginswith"))
        return Operator::BeginsWith;
    if (lower == QLatin1String("endswith"))
        return Operator::EndsWith;
    if (lower == QLatin1String("==") || lower == QLatin1String("="))
        return Operator::Equals;
    return std::nullopt;
}

// One comparison: key, operator with options, %@.
std::optional<NSPredicate::Comparison> parseComparison(const QString &text, const QString &argument)
{
    static const QRegularExpression pattern(
        QStringLiteral(
            R"(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*(contains|beginswith|endswith|==|=)(?:\[([cd]+)\])?\s*%@\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString options = match.captured(3).toLower();
    NSPredicate::Comparison comparison{match.captured(1), *operatorNamed(match.captured(2)),
                                       options.contains(QLatin1Char('c')),
                                       options.contains(QLatin1Char('d')), QString()};
    FoldBuffer buffer;
    comparison.foldedArgument =
        foldInto(buffer, argument, comparison.ignoreCase, comparison.ignoreDiacritics).toString();
    return comparison;
}

QStringList splitOnWord(const QString &text, const QString &word)
{
    return text.split(QRegularExpression(QStringLiteral(R"(\s+%1\s+)").arg(word),
                                         QRegularExpression::CaseInsensitiveOption));
}
} // namespace

std::optional<NSPredicate> NSPredicate::predicateWithFormat(const QString &format,
                                                            const QStringList &arguments)
{
    NSPredicate predicate;
    qsizetype nextArgument = 0;
    for (const QString &alternative : splitOnWord(format, QStringLiteral("OR"))) {
        std::vector<Comparison> all;
        for (const QString &part : splitOnWord(alternative, QStringLiteral("AND"))) {
            if (nextArgument >= arguments.size())
                return std::nullopt;
            std::optional<Comparison> comparison = parseComparison(part, arguments[nextArgument++]);
            if (!comparison)
                return std::nullopt;
            all.push_back(std::move(*comparison));
        }
        predicate.alternatives.push_back(std::move(all));
    }
    if (nextArgument != arguments.size())
        return std::nullopt;
    return predicate;
}

bool NSPredicate::evaluateWithObject(const NSKeyValueCoding &object) const
{
    return std::any_of(alternatives.begin(), alternatives.end(), [&object](const auto &all) {
        return std::all_of(all.begin(), all.end(), [&object](const Comparison &comparison) {
            const std::optional<QString> value = object.valueForKey(comparison.key);
            return value && compare(comparison, *value);
        });
    });
}

QString NSStringFoldForComparison(QStringView text, bool ignoreCase, bool ignoreDiacritics)
{
    FoldBuffer buffer;
    return foldInto(buffer, text, ignoreCase, ignoreDiacritics).toString();
}
