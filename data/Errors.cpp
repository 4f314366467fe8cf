#include "data/Errors.h"

#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace zz {

namespace {
QString typeName(const std::type_info& type)
{
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    return QString::fromLatin1(status == 0 && readable ? readable.get() : type.name());
}
} // namespace

QString errorMessage(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return own->message();
    return QString::fromLocal8Bit(error.what());
}

ErrorText describeError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return {QString::fromLatin1(e.className()), e.message()};
    } catch (const std::exception& e) {
        return {typeName(typeid(e)), errorMessage(e)};
    } catch (...) {
        return {QStringLiteral("Exception"), QStringLiteral("Unknown error")};
    }
}

QString errorMessage(std::exception_ptr error) { return describeError(error).message; }

} // namespace zz
