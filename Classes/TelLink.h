#pragma once

#include <QString>
#include <optional>

// A tel: link, as a browser, a mail or a contacts app hands it over, read as the number to put
// on the dial pad.
class TelLink
{
public:
    TelLink() = delete;

    static bool isLink(QStringView text);
    // The number, with its visual separators and parameters gone and its escapes decoded; nothing
    // when the link holds no number that the dial pad could have typed.
    static std::optional<QString> numberIn(const QString &link);

    // Longer than any real number with its prefixes; a longer one is not a phone number.
    static constexpr int longestNumber = 32;
};
