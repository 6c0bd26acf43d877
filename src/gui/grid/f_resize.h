#pragma once
// Proportional window layout: the large tool windows are laid out for a
// 1280 × 768 screen and scale themselves, and everything on them, by one
// factor on other screens.

#include <QSize>

class QWidget;

namespace zorv::gui {

// The smaller of screen width / 1280 and screen height / 768.
double resizeFactor(QSize screen);

// Scales window by the factor of platform().screenSize(): its client size
// (the frame stays as it is), the geometry of every control (x, y, width and
// height rounded), the font size of text controls, and, when zoomGrids is
// set, the zoom of data grids (GridView) to the factor in percent; grids are
// otherwise only moved and sized. Controls inside plain containers and group
// boxes are scaled within them; the inner parts of composite controls are
// left to their owners. A visible window is hidden while it changes. Nothing
// happens when the factor is exactly 1. Returns the factor.
double f_resize(QWidget *window, bool zoomGrids);

} // namespace zorv::gui
