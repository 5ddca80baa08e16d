#pragma once
// Keeps what Qt's multimedia and desktop services say about the machine
// (no sound server, no audio device, no web browser) off the terminal of an
// ordinary run: the program's failures are silent, and these are failures
// it handles by doing without. QT_LOGGING_RULES brings them back, e.g.
// "qt.multimedia*=true" or "qt.desktopservices*=true".

namespace kestrum {

// Installs the filter rules and the message handler; call once at start-up,
// before the first chime or home-page request.
void QuietQtModuleMessages();

}  // namespace kestrum
