#pragma once

#include <string>

#include "platform/desktop/screens/screen_frame.h"

class QScreen;

namespace vorlane {

// How a display is named wherever the application names one: the output's name ("DP-1"),
// else its manufacturer and model.
std::string screenIdentifier(const QScreen& screen);

// How a display is shown to the user: its manufacturer and model ("Dell U2720Q"), else the
// output's name, else " " as its identifier does.
std::string screenLabel(const QScreen& screen);

// The screen's identifier and its rectangle in device pixels (Qt keeps the native top-left
// and divides only the size by the device pixel ratio).
ScreenFrame screenFrame(const QScreen& screen);

}  // namespace vorlane
