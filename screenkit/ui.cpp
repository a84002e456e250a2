// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/ui.h"

int screenkit::ui::twips(int value)
{
    return qRound(value / 15.0);
}

void screenkit::ui::place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void screenkit::ui::setClientSize(QWidget *window, int width, int height)
{
    window->setFixedSize(twips(width), twips(height));
}

QFont screenkit::ui::msSansSerif(qreal pointSize, bool bold)
{
    static const bool substituted = [] {
        // Narrow sans-serif faces first: the layouts were drawn for its metrics.
        const QStringList candidates{QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                     QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")};
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), candidates);
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont screenkit::ui::dialogFont()
{
    return msSansSerif(8.25);
}
