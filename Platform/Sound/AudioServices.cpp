#include "Platform/Sound/AudioServices.h"

#include "Platform/Files/HelperModule.h"
#include "Platform/Log.h"
#include "Platform/Sound/SoundEffectModule.h"

#include <QCoreApplication>
#include <QVariant>
#include <algorithm>
#include <map>
#include <memory>

namespace {
struct SystemSound
{
    std::unique_ptr<QObject> effect; // nothing when the sound module could not be loaded
    QUrl source;
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
SystemSoundID lastPlayed = 0;

void playFinished(void *context)
{
    const auto soundID = SystemSoundID(quintptr(context));
    const auto found = sounds().find(soundID);
    if (found != sounds().end() && found->second.completion)
        found->second.completion(soundID, found->second.clientData);
}

// Looked for once; without it sounds stay silent and the log says why.
CreateSoundEffect soundEffectFactory()
{
    static const CreateSoundEffect factory = []() -> CreateSoundEffect {
        if (auto create = reinterpret_cast<CreateSoundEffect>(
                ResolveHelperModule(soundEffectModuleName, createSoundEffectSymbol)))
            return create;
        qCWarning(lcMolvane).noquote()
            << "Key tones stay silent: the sound module" << QLatin1String(soundEffectModuleName)
            << "cannot be loaded";
        return nullptr;
    }();
    return factory;
}
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
    SystemSound &sound = sounds()[soundID];
    sound.source = soundFile;
    if (const CreateSoundEffect create = soundEffectFactory())
        sound.effect.reset(
            create(&soundFile, playFinished, reinterpret_cast<void *>(quintptr(soundID))));
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
    lastPlayed = soundID;
    if (found->second.effect)
        QMetaObject::invokeMethod(found->second.effect.get(), "play");
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

SystemSoundID AudioServicesLastPlayedSound()
{
    return lastPlayed;
}

namespace {
enum class SoundStatus
{
    Null,
    Loading,
    Ready,
    Error
}; // QSoundEffect::Status

SoundStatus statusOf(const SystemSound &sound)
{
    return sound.effect ? SoundStatus(sound.effect->property("status").toInt()) : SoundStatus::Null;
}
} // namespace

bool AudioServicesSystemSoundIsLoaded(SystemSoundID soundID)
{
    const auto found = sounds().find(soundID);
    return found != sounds().end() && statusOf(found->second) == SoundStatus::Ready;
}

int AudioServicesLoadingSoundCount()
{
    return int(std::count_if(sounds().begin(), sounds().end(), [](const auto &entry) {
        return statusOf(entry.second) == SoundStatus::Loading;
    }));
}

QUrl AudioServicesSystemSoundFile(SystemSoundID soundID)
{
    const auto found = sounds().find(soundID);
    return found == sounds().end() ? QUrl() : found->second.source;
}
