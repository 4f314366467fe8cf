#pragma once
// Error kinds raised by the data layer and shown to the user word for word, and the one place
// where any error is turned into the text the user sees.
#include <QString>
#include <exception>

namespace zz {

// Base of every error this program raises on purpose. The message is shown unchanged.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }
    // The error's kind as shown in the start-up failure box ("Exception %s in module ...").
    virtual const char* className() const noexcept { return "Exception"; }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A rule of the cursor layer was broken (required field empty, empty dataset, bad conversion).
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "EDatabaseError"; }
};

// The database engine refused an operation (cannot open, key violation, SQL error).
class EDBEngineError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
    const char* className() const noexcept override { return "EDBEngineError"; }
};

// A text could not be converted to a field's type.
class EConvertError : public Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "EConvertError"; }
};

// What an error says to the user: its kind (our class name, or the C++ type of an error from
// elsewhere) and its own message ("Unknown error" for anything that is no std::exception).
struct ErrorText {
    QString kind;
    QString message;
};
ErrorText describeError(std::exception_ptr error);
// The error's own message, word for word.
QString errorMessage(std::exception_ptr error);
QString errorMessage(const std::exception& error);

} // namespace zz
