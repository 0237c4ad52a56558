// The demo's doodle-board scene: the board opened with its button and a little drawing on it.
#pragma once

#include "tests/support/parlix_app.h"

namespace demo {

// Closes an open menu, opens the board docked under Parlix and draws freehand strokes, a
// rectangle, a circle and a line in several widths, and pastes a picture as a frame. 0 when done.
int DrawOnDoodleBoard(const parlix::test::ParlixApp& app);

}  // namespace demo
