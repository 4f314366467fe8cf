#pragma once
// What screen readers and other assistive programs see of the program's own controls: the
// gradient button is a push button named by its caption (without the access-key ampersand) that
// can be pressed, the gradient panel a pane named by its caption. Edit fields, grids and combo
// boxes are Qt's own and are named through nameControl.
#include <QString>

class QLabel;
class QWidget;

namespace zz {

// Makes the program's controls known to Qt's accessibility (once per program; called by
// TApplication, harmless again).
void installAccessibility();

// A caption as it reads: "&Save" is "Save", "Fish && Chips" is "Fish & Chips".
QString stripAccessKey(const QString& caption);

// The label names the control: it becomes the label's buddy and the control's accessible name
// (the label's text without a trailing colon), so that an assistive program finds the field by it.
void nameControl(QLabel* label, QWidget* control);

} // namespace zz
