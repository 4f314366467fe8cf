#pragma once
// When a data-bound edit refuses its text as the focus leaves it by a mouse click, the click
// that took the focus away must not act. The edit arms the guard; it swallows the pending mouse
// release (so no button emits clicked()) and answers true to buttons that ask before acting.
class QWidget;

namespace zz {

// Armed by an edit whose text was refused; keeper is the control that keeps the focus.
void focusGuardArm(QWidget* keeper);
// True while a click that left a refused edit is still pending; buttons that act on something
// other than a mouse release (or that want to be sure) ask this before acting.
bool focusGuardBlocksClick();

} // namespace zz
