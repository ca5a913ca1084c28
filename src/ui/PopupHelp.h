#pragma once

#include <QIcon>
#include <QObject>

#include <span>

class QWidget;

namespace quorvo {

// Pop-up control help: each control given a text shows it through "What's this?" on its context menu and in
// What's This mode. Every text ends with a link to the help contents; following it raises moreHelpRequested.
// One instance serves one window, so each window decides what "more help" opens.
class PopupHelp : public QObject
{
    Q_OBJECT

public:
    // The widest a text runs before it wraps, in pixels, unless a window asks for another width.
    static constexpr int kMaxTextWidth = 300;

    explicit PopupHelp(QObject* parent = nullptr, int maxTextWidth = kMaxTextWidth);

    // The control gets the text (with "\r\n" line breaks) as its What's This text and a context menu of the one
    // item "What's this?".
    void attach(QWidget* control, const QString& text);

    // One control's text, the control named by its object name.
    struct Text
    {
        const char* control;
        const char* text;
    };
    // Attaches each text to the child of window that carries the name; a name without a control is a fault of
    // the window's table.
    void attachByName(const QWidget& window, std::span<const Text> texts);

    // The rich text that a control carries for a given help text, wrapped at maxWidth pixels.
    static QString richText(const QString& text, int maxWidth = kMaxTextWidth);
    static QString moreHelpCaption();

    // The next click on a control shows that control's text instead of acting on it.
    static void enterWhatsThisMode();
    // Pop-up texts are drawn on the system's window colour rather than the tool-tip colour.
    static void useWindowColour();
    // The picture of the buttons that start What's This mode: an arrow with a question mark.
    static QIcon mouseHelpIcon();

signals:
    void moreHelpRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void showFor(QWidget* control);

    int m_maxTextWidth;
};

} // namespace quorvo
