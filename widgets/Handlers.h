#pragma once
// What the windows' handlers share: the protected block that shows an error's own message, the
// one place where a user command's escaping error is reported, the wait cursor, the key handler
// of a field (Enter runs the field's button), and reading a typed whole number.
#include <QString>
#include <functional>
#include <type_traits>
#include <utility>

class QWidget;

namespace zz {

// Runs a handler's work in one protected block: an error raised in it (any std::exception, ours
// included) ends the work and its own message shows in an error box with an OK button; anything
// else goes on to the general error report. onError, when given, runs first, before the box (the
// invoice editor cancels what it started there). True when the work ran to its end.
bool guarded(const std::function<void()>& work, const std::function<void()>& onError = {});

// Runs a user command where the program's own code dispatches it: a button's click, a menu or
// preview action, a timer, a field's key handler. An error that escapes the command's handler
// (one that is no std::exception among them) ends there in the general error report, so that no
// exception crosses a signal or the window message loop; the program then goes on. True when the
// command ran to its end.
bool runCommand(const std::function<void()>& command);

// The slot for a signal (a button's clicked(), a menu action's triggered(), a timer's timeout()):
// calls the receiver's handler as a command, inside the slot, so that nothing it throws travels
// through the signal's emission. The signal's arguments go on to a handler that takes them.
//   connect(btnSave, &TXiButton::clicked, this, command(this, &TfrmVAT::btnSaveClick));
namespace detail {
// Calls the handler with the signal's arguments when it takes them, else without. A template of
// its own, so that the call a handler does not fit is never looked at (some compilers check the
// calls of a generic lambda's discarded branch early).
template <typename Handler, typename... Args>
void invokeFitting(Handler& handler, const Args&... args)
{
    if constexpr (std::is_invocable_v<Handler&, const Args&...>)
        std::invoke(handler, args...);
    else
        std::invoke(handler);
}
template <typename Receiver, typename Handler, typename... Args>
void invokeFittingOn(Receiver* receiver, Handler handler, const Args&... args)
{
    if constexpr (std::is_invocable_v<Handler, Receiver*, const Args&...>)
        std::invoke(handler, receiver, args...);
    else
        std::invoke(handler, receiver);
}
} // namespace detail

template <typename Receiver, typename Handler>
auto command(Receiver* receiver, Handler handler)
{
    return [receiver, handler](const auto&... args) {
        runCommand([&] { detail::invokeFittingOn(receiver, handler, args...); });
    };
}
// The same for a handler written in place.
template <typename Handler>
auto command(Handler handler)
{
    return [handler = std::move(handler)](const auto&... args) mutable {
        runCommand([&] { detail::invokeFitting(handler, args...); });
    };
}

// The busy pointer while a long piece of work runs: shown while the object lives, the usual
// pointer again when the work ends or fails (before any box tells of the failure).
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

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
