#include "platform/TenhouSound.h"

#include <QSoundEffect>

namespace kestrum {

TenhouSound::TenhouSound(const QUrl& clip) : effect_(std::make_unique<QSoundEffect>()) {
  // QSoundEffect reads resource files only through a "qrc:" address, never
  // through the ":/" path form.
  effect_->setSource(clip);
}

TenhouSound::~TenhouSound() = default;

QUrl TenhouSound::DefaultClip() { return QUrl(QStringLiteral("qrc:/kestrum/tenhou.wav")); }

void TenhouSound::Play() {
  if (effect_->status() == QSoundEffect::Error) return;
  if (effect_->isPlaying()) effect_->stop();
  effect_->play();
}

}  // namespace kestrum
