#pragma once
// Reading a fuzzer's bytes: fixed-size values from the front, the rest as text or bytes; and the
// headless application object that pictures and fonts need.
#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zz::fuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    // A value from the next bytes; zero bytes where the input has ended.
    template <typename T>
    T take()
    {
        T value{};
        const std::size_t n = std::min(sizeof(T), m_size - m_pos);
        std::memcpy(&value, m_data + m_pos, n);
        m_pos += n;
        return value;
    }
    QByteArray rest() const { return QByteArray(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(m_size - m_pos)); }
    QString restAsText() const { return QString::fromUtf8(rest()); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Creates the application object once, headless, for the whole run.
inline void startGuiApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int args = 1;
    static char name[] = "fuzzer";
    static char* list[] = {name, nullptr};
    static QGuiApplication app(args, list);
}

} // namespace zz::fuzz
