#include "ui/untrustedtext.h"

#include <QLabel>
#include <QWidget>

namespace UntrustedText {

void makePlain(QLabel *label)
{
    label->setTextFormat(Qt::PlainText);
}

QString toolTip(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString shown = text;
    if (shown.size() > toolTipLimit) {
        // Never half of a surrogate pair.
        const qsizetype cut
            = shown.at(toolTipLimit - 1).isHighSurrogate() ? toolTipLimit - 1 : toolTipLimit;
        shown = shown.left(cut) + QChar(0x2026);
    }
    shown = shown.toHtmlEscaped();
    shown.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return QLatin1String("<qt>") + shown + QLatin1String("</qt>");
}

void setToolTip(QWidget *widget, const QString &text)
{
    widget->setToolTip(toolTip(text));
}

QString buttonText(const QString &text)
{
    QString shown = text;
    return shown.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString windowTitle(const QString &text)
{
    QString shown = text;
    return shown.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

} // namespace UntrustedText
