// Wave playback through QSoundEffect: low latency, no decoding pipeline, and
// without an audio device it simply stays silent.
#include "ui/wave_player.h"

#include <QSoundEffect>
#include <QUrl>

#include "ui/path_lookup.h"

namespace ui {

WavePlayer::WavePlayer(QObject* parent) : QObject(parent) {}
WavePlayer::~WavePlayer() = default;

void WavePlayer::command(const std::string& cmd) {
  if (cmd == "stop") {
    if (effect_) effect_->stop();
  } else if (cmd == "close") {
    effect_.reset();
    opened_.clear();
  } else if (cmd == "open") {
    effect_.reset();
    opened_.clear();
    std::optional<std::string> found = findPathIgnoringCase(fileName_);
    if (!found) return;  // no file: the alert stays silent
    opened_ = *found;
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(QString::fromStdString(opened_)));
  } else if (cmd == "play") {
    if (effect_) effect_->play();
  }
}

}  // namespace ui
