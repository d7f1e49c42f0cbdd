// The alert sound device as the board drives it: a player of wave files
// driven by command texts ("stop", "close", then the file name, "open",
// "play").
//
// A device is silent and harmless when there is no sound output or no file:
// commands never fail, never block, and report nothing (the kitchen board
// does not stop for a chime). The device on the screen's machine is
// ui::WavePlayer (ui/wave_player.h); tests record the commands instead.
#pragma once

#include <string>

namespace ui {

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // The file the next "open" looks for, in the point of sale's form
  // ("Sonido\PrHelp.WAV").
  virtual void setFileName(const std::string& name) = 0;
  // "open", "play", "stop", "close"; any other command does nothing.
  virtual void command(const std::string& cmd) = 0;
};

}  // namespace ui
