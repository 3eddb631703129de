// What the batch commands that draw share: an application object for text
// and fonts with no display, and the standard view named on the command line.
#pragma once

#include "scene/CTrackball.h"

#include <string>

// Starts the offscreen Qt application once, when none exists.
void EnsureOffscreenApplication();
// "xy", "xz", "yz", anything else the general view.
Quaternion ViewRotation(const std::string& view);
