#pragma once

#include <QString>
#include <optional>

// What may be handed to a modem as a dial string, and how a dialler sends it.
class DialString
{
public:
    // The string with the separators people write between digits (space, "-", ".", "(", ")")
    // dropped; nothing when it still holds a character outside the dialable ones (digits,
    // "*", "#", "+" and the pauses "," "p" "w") or nothing is left to dial.
    static std::optional<QString> dialable(const QString &dialString);

    // Whether a dialler sends the string to the network as a supplementary-service or USSD
    // request instead of calling it: it ends with "#" and holds no pause, since digits after a
    // pause are tones sent during a call.
    static bool isServiceCode(const QString &dialString);

private:
    static bool isSeparator(QChar character);
    static bool isPause(QChar character);
    static bool isDialable(QChar character);
};
