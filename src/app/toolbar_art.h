#pragma once

#include <QIcon>

namespace fretlets {

// The toolbar's own pictures, 16x15 pixels each.
enum class ToolbarImage { Instrument, Designer, Finder, Help, NewChordBook, NewScore, Open, Save };

// Open and Save come from the desktop's icon theme when it has them; every
// other picture, and those two on a desktop without a theme, are drawn here.
QIcon toolbarIcon(ToolbarImage image);

// The program's icon, drawn at the size asked for.
QIcon programIcon();

}  // namespace fretlets
