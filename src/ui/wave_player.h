// The alert sound device: a player of wave files driven by command texts,
// as the board drives it ("stop", "close", then the file name, "open",
// "play").
//
// SoundDevice is what the board talks to; WavePlayer is the device on the
// screen's machine, through Qt Multimedia. The device is silent and harmless
// when there is no sound output or no file: commands never fail, never
// block, and report nothing (the kitchen board does not stop for a chime).
// A file name in the point of sale's form ("Sonido\PrHelp.WAV") is found
// with backslashes read as separators and whatever the case of the names.
#pragma once

#include <memory>
#include <string>

#include <QObject>

class QSoundEffect;

namespace ui {

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  virtual void setFileName(const std::string& name) = 0;
  // "open", "play", "stop", "close"; any other command does nothing.
  virtual void command(const std::string& cmd) = 0;
};

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
