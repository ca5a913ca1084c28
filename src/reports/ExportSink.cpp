#include "reports/ExportSink.h"

#include <QIODevice>

namespace quorvo {

bool ExportSink::flush()
{
    if (!m_failed && !m_buffer.empty()) {
        const auto size = static_cast<qint64>(m_buffer.size());
        if (m_device.write(m_buffer.data(), size) != size) {
            m_failed = true;
            m_error = m_device.errorString();
        }
    }
    m_buffer.clear();
    return !m_failed;
}

} // namespace quorvo
