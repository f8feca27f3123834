#include "KeyTones.h"

#include "Platform/Files/BundleResource.h"

void SoundEffectCallback(SystemSoundID, void *) {}

KeyTones::~KeyTones()
{
    for (SystemSoundID tone : std::as_const(tones))
        AudioServicesDisposeSystemSoundID(tone);
}

void KeyTones::play(const QString &character)
{
    const SystemSoundID tone = toneFor(character);
    if (!tone)
        return;
    AudioServicesPlaySystemSound(tone);
}

void KeyTones::prepare()
{
    for (const QChar character : QStringView(u"0123456789*#+"))
        toneFor(character);
}

SystemSoundID KeyTones::toneFor(const QString &character)
{
    SystemSoundID tone = tones.value(character);
    if (tone)
        return tone;
    const std::optional<QString> path = PathForResource(character, QStringLiteral("wav"));
    if (!path)
        return 0;
    // Built part by part: in a URL written out, the "#" of the hash key would start a fragment.
    QUrl source;
    source.setScheme(QStringLiteral("qrc"));
    source.setPath(path->mid(1));
    AudioServicesCreateSystemSoundID(source, &tone);
    AudioServicesAddSystemSoundCompletion(tone, nullptr, nullptr, SoundEffectCallback, this);
    tones.insert(character, tone);
    return tone;
}
