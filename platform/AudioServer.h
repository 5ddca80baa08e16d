#pragma once
// Whether a sound server might answer, found out without talking to one.
// Qt's audio output on Linux is a PulseAudio client (PipeWire answers as
// one), and merely opening it where no server runs makes libpulse warn on
// the terminal and leave an empty "pulse" folder in the runtime directory.
// The chime asks this first and stays silent, untouched, where nothing could
// play it.

#include <string>
#include <vector>

namespace kestrum {

// What a PulseAudio client would look at to find its server, in the order
// it looks.
struct AudioServerPlaces {
  std::string namedServer;                 // $PULSE_SERVER or the X screen's PULSE_SERVER
  std::string runtimeDir;                  // where a per-user server puts its socket; empty when unknown
  std::vector<std::string> systemSockets;  // where a system-wide server listens
  std::vector<std::string> clientConfigs;  // later files override earlier ones
  std::vector<std::string> daemons;        // a server a client may start itself
};

// The places of this process: its environment, the X screen and the usual
// system paths.
AudioServerPlaces AudioServerPlacesHere();

// True where a server is named, listens or could be started. An unknown
// runtime directory counts as a server that might be there.
bool AudioServerMayAnswer(const AudioServerPlaces& places);

}  // namespace kestrum
