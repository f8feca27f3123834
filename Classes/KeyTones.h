#pragma once

#include "Platform/Sound/AudioServices.h"

#include <QHash>
#include <QString>

// Completion routine of the key tones; nothing is left to do when a tone ends.
void SoundEffectCallback(SystemSoundID soundID, void *clientData);

// The dial pad's key tones: one sound per key character, made on first use and kept until
// the tones go.
class KeyTones
{
public:
    KeyTones() = default;
    KeyTones(const KeyTones &) = delete;
    KeyTones &operator=(const KeyTones &) = delete;
    ~KeyTones();

    // Plays the character's tone; a character without one plays nothing.
    void play(const QString &character);
    // Makes every key's tone, so that none waits for its sound file at its first tap.
    void prepare();
    // Nothing (0) for a character without a sound file.
    SystemSoundID toneFor(const QString &character);

private:
    QHash<QString, SystemSoundID> tones;
};
