// What the batch commands that draw share: an application object for text
// and fonts with no display, and the headless scene of the view of a session
// in the standard view named on the command line.
#pragma once

#include "scale/Quantity.h"
#include "scene/CTrackball.h"

#include <memory>
#include <string>

namespace quillmere {

class CConfiguration;
class CHeadlessScene;
class CSessionView;

// Starts the offscreen Qt application once, when none exists.
void EnsureOffscreenApplication();
// "xy", "xz", "yz", anything else the general view.
Quaternion ViewRotation(const std::string& view);
// The headless scene of the current record of shown's session in quantity,
// turned to view, its scale labelled in the configuration's units; after a
// message on stderr ("no OpenGL context for the WHAT: ..."), null when no
// context could be made.
std::unique_ptr<CHeadlessScene> OpenHeadlessScene(CSessionView& shown, const CConfiguration& configuration,
                                                  ResultQuantity quantity, const std::string& view,
                                                  const std::string& what);

} // namespace quillmere
