#include "ui.h"

#include <QFontDatabase>

int ui::twips(int value)
{
    return qRound(value / 15.0);
}

void ui::place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void ui::setClientSize(QWidget *window, int width, int height)
{
    window->setFixedSize(twips(width), twips(height));
}

QFont ui::msSansSerif(qreal pointSize, bool bold)
{
    static const bool substituted = [] {
        const QStringList candidates{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                     QStringLiteral("Noto Sans")};
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), candidates);
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void ui::setColours(QWidget *widget, const QColor &background, const QColor &text)
{
    QPalette palette = widget->palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase})
        palette.setColor(role, background);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
