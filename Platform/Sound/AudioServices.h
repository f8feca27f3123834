#pragma once

#include <QUrl>

// System sounds: short sound files played at once, without waiting.
using SystemSoundID = quint32;
using OSStatus = qint32;
using AudioServicesSystemSoundCompletionProc = void (*)(SystemSoundID soundID, void *clientData);

inline constexpr OSStatus kAudioServicesNoError = 0;
inline constexpr OSStatus kAudioServicesBadSpecifierSizeError = -1;

// Creates a playable sound from a file (a local path or a "qrc:" resource) and writes its
// identifier, which is never 0.
OSStatus AudioServicesCreateSystemSoundID(const QUrl &soundFile, SystemSoundID *outSoundID);
// The routine runs on the UI thread when a play of the sound has finished.
OSStatus AudioServicesAddSystemSoundCompletion(SystemSoundID soundID, void *runLoop,
                                               void *runLoopMode,
                                               AudioServicesSystemSoundCompletionProc routine,
                                               void *clientData);
// Starts the sound and returns at once; an unknown identifier plays nothing.
void AudioServicesPlaySystemSound(SystemSoundID soundID);
OSStatus AudioServicesDisposeSystemSoundID(SystemSoundID soundID);

// How many sounds exist now; a caller that holds its sounds keeps this bounded.
int AudioServicesSystemSoundCount();
// The file a sound plays; empty for an unknown identifier.
QUrl AudioServicesSystemSoundFile(SystemSoundID soundID);
// Whether the sound's file has been read, so that it plays at once.
bool AudioServicesSystemSoundIsLoaded(SystemSoundID soundID);
// How many sounds are still being read from their files.
int AudioServicesLoadingSoundCount();
// How many plays have been started since the process began.
int AudioServicesPlayCount();
// The sound most recently started; 0 before the first.
SystemSoundID AudioServicesLastPlayedSound();
