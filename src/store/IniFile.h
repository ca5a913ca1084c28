#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace quorvo {

// A preferences file of [sections] and key=value lines, kept byte for byte the way the Windows profile
// functions keep it, because our files are shared with installations that were written by them:
// - sections and keys match without regard to case (ASCII and Windows-1252 letters);
// - reads see the file as it was when this object was made (or last reloaded or written); a missing key,
//   a missing file or an unreadable file gives the caller's default;
// - integers are decimal or "0x" hexadecimal, the whole trimmed value must be the number; booleans are
//   integers, non-zero meaning true; anything else is unreadable and gives the default;
// - a write changes only the value of the first matching key, or adds the key at the end of its section,
//   or adds the section at the end of the file; every other byte (unknown sections and keys, their order,
//   comments, line ends) survives;
// - each write reads the file again, applies the change and replaces the file atomically (QSaveFile), so
//   a crash leaves the old file or the new one, never half of one. Between beginBatch() and commit()
//   writes are collected and reach the file in one replacement.
// Values are the file's bytes (Windows-1252); converting them is the caller's business. Section and key
// names are plain ASCII in practice and are given as bytes too.
class IniFile
{
public:
    explicit IniFile(QString fileName);

    const QString& fileName() const { return m_fileName; }

    // False when the file exists but could not be read; such a file is never written over, so that a
    // passing permission problem cannot cost the user the keys we do not know.
    bool isReadable() const { return m_readable; }

    // Reads the file again; false when it exists and cannot be read.
    bool reload();

    bool contains(QByteArrayView section, QByteArrayView key) const;
    QByteArray readString(QByteArrayView section, QByteArrayView key, const QByteArray& defaultValue = {}) const;
    int readInt(QByteArrayView section, QByteArrayView key, int defaultValue) const;
    bool readBool(QByteArrayView section, QByteArrayView key, bool defaultValue) const;

    // Each returns false when the file could not be written (or the names are unusable: a section with
    // "]" or a key with "=", either empty or with a line break). A value is cut at its first line break,
    // which would otherwise smuggle lines into the file. Inside a batch the result only says whether the
    // names were usable; commit() says whether the file was written.
    bool writeString(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    bool writeInt(QByteArrayView section, QByteArrayView key, int value);
    bool writeBool(QByteArrayView section, QByteArrayView key, bool value);

    // Opens a batch; batches do not nest.
    void beginBatch();
    // Ends the batch and writes its changes in one file replacement. True when there was nothing to write
    // or the file was replaced; on false the file is unchanged and the changes are dropped.
    bool commit();
    bool inBatch() const { return m_inBatch; }

    // The integer rule on one value, exposed for the callers that read numbers from elsewhere.
    static std::optional<int> parseInt(QByteArrayView text);

private:
    struct Change
    {
        QByteArray section;
        QByteArray key;
        QByteArray value;
    };

    bool readFile(QList<QByteArray>& lines) const;
    bool writeFile(const QList<QByteArray>& lines) const;
    std::optional<QByteArray> find(QByteArrayView section, QByteArrayView key) const;

    QString m_fileName;
    QList<QByteArray> m_lines; // each with its own line end, the last one possibly without
    QList<Change> m_pending;
    bool m_readable = true;
    bool m_inBatch = false;
};

} // namespace quorvo
