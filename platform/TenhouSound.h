#pragma once
// The heavenly-hand chime. The clip is loaded in the background at the first
// chime and played once loaded; where there is no sound server, no audio
// device or no clip, playing gives silence and nothing else.

#include <memory>

#include <QUrl>

class QSoundEffect;

namespace kestrum {

class TenhouSound {
 public:
  explicit TenhouSound(const QUrl& clip = DefaultClip());
  ~TenhouSound();

  TenhouSound(const TenhouSound&) = delete;
  TenhouSound& operator=(const TenhouSound&) = delete;

  // Returns at once; a chime already sounding starts over.
  void Play();

  // The clip built into the program's resources.
  static QUrl DefaultClip();

 private:
  void Load();

  QUrl clip_;
  std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace kestrum
