#pragma once

#include <QString>
#include <QWidget>
#include <QtTest>

namespace quorvo {

// Types text into a widget one character at a time, as a keyboard with every character would; unlike
// QTest::keyClicks it takes any character, a pair of surrogates as one key.
inline void typeText(QWidget* widget, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length), Qt::NoModifier);
        i += length - 1;
    }
}

} // namespace quorvo
