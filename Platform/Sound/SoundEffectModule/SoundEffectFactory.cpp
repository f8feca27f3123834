#include "Platform/Sound/SoundEffectModule.h"

#include <QSoundEffect>

extern "C" Q_DECL_EXPORT QObject *
molvaneCreateSoundEffect(const QUrl *source, void (*finished)(void *context), void *context)
{
    auto *effect = new QSoundEffect;
    effect->setSource(*source);
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect, finished, context] {
        if (!effect->isPlaying())
            finished(context);
    });
    return effect;
}
