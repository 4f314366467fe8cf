#pragma once
// What the windows' handlers share: the protected block that shows an error's own message, the
// key handler of a field (Enter runs the field's button), and reading a typed whole number.
#include <QString>
#include <functional>

class QWidget;

namespace zz {

// Runs a handler's work in one protected block: an error raised in it (any std::exception, ours
// included) ends the work and its own message shows in an error box with an OK button; anything
// else goes on to the general error report. onError, when given, runs first, before the box (the
// invoice editor cancels what it started there). True when the work ran to its end.
bool guarded(const std::function<void()>& work, const std::function<void()>& onError = {});

// The key code a KeyDown handler receives for Return and Enter.
inline constexpr int kEnterKey = 13;
// Calls keyDown for every key pressed in the field, with kEnterKey for Return and Enter and Qt's
// key code for the others. The key still goes on to the field. Pressing Enter in a search or
// number field runs the field's button: `if (key == kEnterKey) btnSearchClick();`.
void onKeyDown(QWidget* field, std::function<void(int key)> keyDown);

// Reads a typed text as a whole number (blanks around it, one leading sign, then digits, within
// the 32-bit range), or throws EConvertError "'<text>' is not a valid integer value" with the text
// as it was typed. For fields bound to no data field; a bound field names itself in its message.
int textToInteger(const QString& text);

} // namespace zz
