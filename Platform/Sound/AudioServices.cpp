#include "Platform/Sound/AudioServices.h"

#include <QCoreApplication>
#include <QSoundEffect>
#include <map>
#include <memory>

namespace {
struct SystemSound
{
    std::unique_ptr<QSoundEffect> effect;
    AudioServicesSystemSoundCompletionProc completion = nullptr;
    void *clientData = nullptr;
};

std::map<SystemSoundID, SystemSound> &sounds()
{
    static std::map<SystemSoundID, SystemSound> registry;
    return registry;
}

SystemSoundID nextSoundID = 1;
int playsStarted = 0;
} // namespace

OSStatus AudioServicesCreateSystemSoundID(const QUrl &soundFile, SystemSoundID *outSoundID)
{
    if (!outSoundID || !soundFile.isValid())
        return kAudioServicesBadSpecifierSizeError;
    static const bool clearedBeforeExit = [] {
        // Sounds must go while the application that plays them still exists.
        qAddPostRoutine([] { sounds().clear(); });
        return true;
    }();
    Q_UNUSED(clearedBeforeExit)
    const SystemSoundID soundID = nextSoundID++;
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(soundFile);
    QObject::connect(effect.get(), &QSoundEffect::playingChanged, effect.get(),
                     [soundID, effect = effect.get()] {
                         if (effect->isPlaying())
                             return;
                         const auto found = sounds().find(soundID);
                         if (found != sounds().end() && found->second.completion)
                             found->second.completion(soundID, found->second.clientData);
                     });
    sounds()[soundID].effect = std::move(effect);
    *outSoundID = soundID;
    return kAudioServicesNoError;
}

OSStatus AudioServicesAddSystemSoundCompletion(SystemSoundID soundID, void *, void *,
                                               AudioServicesSystemSoundCompletionProc routine,
                                               void *clientData)
{
    const auto found = sounds().find(soundID);
    if (found == sounds().end())
        return kAudioServicesBadSpecifierSizeError;
    found->second.completion = routine;
    found->second.clientData = clientData;
    return kAudioServicesNoError;
}

void AudioServicesPlaySystemSound(SystemSoundID soundID)
{
    const auto found = sounds().find(soundID);
    if (found == sounds().end())
        return;
    ++playsStarted;
    found->second.effect->play();
}

OSStatus AudioServicesDisposeSystemSoundID(SystemSoundID soundID)
{
    return sounds().erase(soundID) ? kAudioServicesNoError : kAudioServicesBadSpecifierSizeError;
}

int AudioServicesSystemSoundCount()
{
    return int(sounds().size());
}

int AudioServicesPlayCount()
{
    return playsStarted;
}

QUrl AudioServicesSystemSoundFile(SystemSoundID soundID)
{
    const auto found = sounds().find(soundID);
    return found == sounds().end() ? QUrl() : found->second.effect->source();
}
