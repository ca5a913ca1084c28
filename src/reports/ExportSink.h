#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

class QIODevice;

namespace quorvo {

// Collects an export's bytes and hands them to the device in large blocks. The first failed write is kept
// with the device's text for it; what follows is dropped, so a writer need not test every line.
class ExportSink
{
public:
    explicit ExportSink(QIODevice& device) : m_device(device) {}

    ExportSink& operator<<(std::string_view bytes)
    {
        m_buffer.append(bytes);
        if (m_buffer.size() >= kBlock)
            flush();
        return *this;
    }
    ExportSink& operator<<(const QByteArray& bytes) { return *this << std::string_view(bytes.data(), bytes.size()); }
    ExportSink& operator<<(char c)
    {
        m_buffer.push_back(c);
        return *this;
    }
    // Ends a line the way every export does: carriage return and line feed.
    ExportSink& endLine() { return *this << std::string_view("\r\n", 2); }

    // Writes what is buffered; false once any write has failed.
    bool flush();
    bool failed() const { return m_failed; }
    const QString& errorText() const { return m_error; }

private:
    static constexpr std::size_t kBlock = 1 << 18;

    QIODevice& m_device;
    std::string m_buffer;
    QString m_error;
    bool m_failed = false;
};

} // namespace quorvo
