#pragma once
// Lets a window run a handler whenever the mouse moves over one of its controls
// (labels, panels and buttons alike), as the windows' mouse-move handlers need.
#include <QWidget>
#include <functional>

namespace zz {

void onMouseMove(QWidget* control, std::function<void()> handler);

} // namespace zz
