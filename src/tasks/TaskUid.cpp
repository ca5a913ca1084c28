#include "tasks/TaskUid.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace quorvo {

QByteArray TaskUid::tableTag(const QString& tablePath)
{
    const QFileInfo info(tablePath);
    const QString canonical = info.canonicalFilePath();
    const QString path = canonical.isEmpty() ? info.absoluteFilePath() : canonical;
    return QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16).toUpper();
}

QByteArray TaskUid::of(std::uint32_t recNo, const QByteArray& tableTag)
{
    return QByteArray::number(recNo) + '-' + tableTag + "@quorvo";
}

std::optional<std::uint32_t> TaskUid::recordOf(QByteArrayView uid, const QByteArray& tableTag)
{
    const qsizetype dash = uid.indexOf('-');
    if (dash <= 0 || uid.sliced(dash + 1) != tableTag + "@quorvo")
        return std::nullopt;
    bool ok = false;
    const qulonglong recNo = uid.first(dash).toULongLong(&ok);
    if (!ok || recNo == 0 || recNo > 0xFFFFFFFFu || uid.front() == '+')
        return std::nullopt;
    return static_cast<std::uint32_t>(recNo);
}

} // namespace quorvo
