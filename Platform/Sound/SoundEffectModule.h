#pragma once

#include <QUrl>

class QObject;

// The key tones' sound stack (QtMultimedia and the sound server's client) lives in a module of
// its own, molvane-sound, loaded the first time a sound is made: with tones off none of it is
// mapped. Its one function makes a sound effect playing the source, and calls finished with
// context whenever a play of it ends. The effect is a QSoundEffect, used through its meta-object
// (play(), "status").
using CreateSoundEffect = QObject *(*)(const QUrl *source, void (*finished)(void *context),
                                       void *context);
inline constexpr char createSoundEffectSymbol[] = "molvaneCreateSoundEffect";
inline constexpr char soundEffectModuleName[] = "molvane-sound";
