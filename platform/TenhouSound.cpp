#include "platform/TenhouSound.h"

#include "platform/AudioServer.h"

#include <QLoggingCategory>
#include <QSoundEffect>

namespace kestrum {
namespace {

// Off unless asked for (QT_LOGGING_RULES="kestrum.sound.debug=true"): a
// machine without speakers can still show that the chime was called.
Q_LOGGING_CATEGORY(lcSound, "kestrum.sound", QtInfoMsg)

}  // namespace

TenhouSound::TenhouSound(const QUrl& clip) : clip_(clip) {}

void TenhouSound::Load() {
  effect_ = std::make_unique<QSoundEffect>();
  // QSoundEffect reads resource files only through a "qrc:" address, never
  // through the ":/" path form.
  effect_->setSource(clip_);
}

TenhouSound::~TenhouSound() = default;

QUrl TenhouSound::DefaultClip() { return QUrl(QStringLiteral("qrc:/kestrum/tenhou.wav")); }

// The audio output is opened at the first chime that a sound server could
// play; where none runs, opening it would only leave warnings and an empty
// folder behind. A server started later is found at a later chime. A clip
// whose loading failed is loaded anew, so that one bad moment (the shared
// sample cache gives up on a clip when an earlier user lets go of it
// mid-load) costs one chime, not every later one. A clip still loading
// plays once it is loaded.
void TenhouSound::Play() {
  qCDebug(lcSound) << "chime" << clip_.toString();
  if (!effect_) {
    if (!AudioServerMayAnswer(AudioServerPlacesHere())) {
      qCDebug(lcSound) << "no sound server, so nothing is played";
      return;
    }
    Load();
  }
  if (effect_->status() == QSoundEffect::Error) {
    Load();
    return;
  }
  if (effect_->isPlaying()) effect_->stop();
  effect_->play();
}

}  // namespace kestrum
