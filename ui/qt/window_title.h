#pragma once

class QWidget;

namespace ui::qt {

// Gives a shown top-level window a truly empty title on X11, where Qt would put the
// application's name in place of an empty one.
void ClearWindowTitle(QWidget* window);

} // namespace ui::qt
