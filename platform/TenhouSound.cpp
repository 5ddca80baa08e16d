#include "platform/TenhouSound.h"

#include <QLoggingCategory>
#include <QSoundEffect>

namespace kestrum {
namespace {

// Off unless asked for (QT_LOGGING_RULES="kestrum.sound.debug=true"): a
// machine without speakers can still show that the chime was called.
Q_LOGGING_CATEGORY(lcSound, "kestrum.sound", QtInfoMsg)

}  // namespace

TenhouSound::TenhouSound(const QUrl& clip) : clip_(clip) { Load(); }

void TenhouSound::Load() {
  effect_ = std::make_unique<QSoundEffect>();
  // QSoundEffect reads resource files only through a "qrc:" address, never
  // through the ":/" path form.
  effect_->setSource(clip_);
}

TenhouSound::~TenhouSound() = default;

QUrl TenhouSound::DefaultClip() { return QUrl(QStringLiteral("qrc:/kestrum/tenhou.wav")); }

// A clip whose loading failed is loaded anew, so that one bad moment (the
// shared sample cache gives up on a clip when an earlier user lets go of it
// mid-load) costs one chime, not every later one.
void TenhouSound::Play() {
  qCDebug(lcSound) << "chime" << clip_.toString();
  if (effect_->status() == QSoundEffect::Error) {
    Load();
    return;
  }
  if (effect_->isPlaying()) effect_->stop();
  effect_->play();
}

}  // namespace kestrum
