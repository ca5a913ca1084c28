#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace quorvo::test {

// Whole files as bytes, for tests that check or damage what the engine wrote. A missing file reads empty.
inline QByteArray readFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace quorvo::test
