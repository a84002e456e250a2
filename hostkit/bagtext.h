// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QVariant>

// The text form shared by property bags and form designs: a line-oriented
// reader and the value formatter.
namespace hostkit::bagtext
{
QString formatValue(const QVariant &value);

class Reader final
{
public:
    explicit Reader(const QString &text);

    bool atEnd() const;
    int line() const;
    // Skips blank lines and comment lines (starting with an apostrophe).
    void skipBlankLines();
    void skipSpaces();
    // Letters, digits, '_' and '.'; empty when none.
    QString readWord();
    bool consume(QChar c);
    // True when only blanks remain on the line; the line end is consumed.
    bool endLine();
    bool readValue(QVariant &value, QString *error);

private:
    QChar peek() const;
    bool readString(QString &result, QString *error);
    bool readNumber(QVariant &value, QString *error);
    bool readCall(const QString &function, QVariant &value, QString *error);
    bool fail(QString *error, const QString &what) const;

    QString m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};
}
