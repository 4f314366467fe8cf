#pragma once
// Access keys: the letter after the ampersand in a button's caption clicks the button, with Alt
// always, alone when the focused control of the window takes no typing.
#include <QChar>
#include <QString>

namespace zz {

// The access-key character of a caption: the character after the first single ampersand
// ("&&" stands for an ampersand), upper-cased; a null QChar when there is none.
QChar accessKeyOf(const QString& caption);

// Installs, once, the application-wide filter that routes access keys to the buttons of the
// window receiving the key.
void ensureAccessKeyFilter();

} // namespace zz
