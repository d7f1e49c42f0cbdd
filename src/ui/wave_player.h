// WavePlayer: the alert sound device (ui/sound_device.h) on the screen's
// machine, through Qt Multimedia. Silent without a sound output or a file.
// A file name in the point of sale's form ("Sonido\PrHelp.WAV") is found
// with backslashes read as separators and whatever the case of the names.
#pragma once

#include <memory>
#include <string>

#include <QObject>

#include "ui/sound_device.h"

class QSoundEffect;

namespace ui {

class WavePlayer : public QObject, public SoundDevice {
  Q_OBJECT

 public:
  explicit WavePlayer(QObject* parent = nullptr);
  ~WavePlayer() override;

  void setFileName(const std::string& name) override { fileName_ = name; }
  void command(const std::string& cmd) override;

  // The file the last "open" found, empty when none.
  const std::string& openedFile() const { return opened_; }

 private:
  std::string fileName_;
  std::string opened_;
  std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace ui
