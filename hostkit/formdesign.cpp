// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/formdesign.h"

#include "hostkit/bagtext.h"

namespace hostkit
{
namespace
{
const QString indent = QStringLiteral("   ");

bool is(const QString &word, const char *keyword)
{
    return word.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}
}

QList<ControlDesign> FormDesign::controls() const
{
    return m_controls;
}

const ControlDesign *FormDesign::control(const QString &name) const
{
    for (const ControlDesign &design : m_controls) {
        if (design.name.compare(name, Qt::CaseInsensitive) == 0)
            return &design;
    }
    return nullptr;
}

void FormDesign::add(const ControlDesign &control)
{
    m_controls.append(control);
}

QString FormDesign::toText() const
{
    QString text;
    for (const ControlDesign &design : m_controls) {
        text += QLatin1String("Begin ") + design.progId + u' ' + design.name + u'\n';
        text += indent + QLatin1String("Library = ") + bagtext::formatValue(design.library) + u'\n';
        text += indent + QLatin1String("Clsid = ") + bagtext::formatValue(design.clsid) + u'\n';
        text += design.properties.toText(indent);
        text += QLatin1String("End\n");
    }
    return text;
}

FormDesign FormDesign::fromText(const QString &text, QString *error)
{
    const auto failed = [error](int line, const QString &what) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(line).arg(what);
        return FormDesign();
    };

    FormDesign design;
    bagtext::Reader reader(text);
    for (reader.skipBlankLines(); !reader.atEnd(); reader.skipBlankLines()) {
        if (!is(reader.readWord(), "Begin"))
            return failed(reader.line(), QStringLiteral("\"Begin\" is expected"));
        ControlDesign control;
        control.progId = reader.readWord();
        control.name = reader.readWord();
        if (control.progId.isEmpty() || control.name.isEmpty() || !reader.endLine())
            return failed(reader.line(), QStringLiteral("\"Begin\" needs a programmatic name and a control name"));
        for (;;) {
            reader.skipBlankLines();
            if (reader.atEnd())
                return failed(reader.line(), QStringLiteral("\"End\" of %1 is missing").arg(control.name));
            const QString key = reader.readWord();
            if (is(key, "End")) {
                if (!reader.endLine())
                    return failed(reader.line(), QStringLiteral("unexpected text after \"End\""));
                break;
            }
            if (key.isEmpty())
                return failed(reader.line(), QStringLiteral("a property name is expected"));
            if (!reader.consume(u'='))
                return failed(reader.line(), QStringLiteral("\"=\" is expected after %1").arg(key));
            QVariant value;
            QString problem;
            if (!reader.readValue(value, &problem)) {
                if (error)
                    *error = problem;
                return {};
            }
            if (!reader.endLine())
                return failed(reader.line(), QStringLiteral("unexpected text after the value of %1").arg(key));
            if (is(key, "Library"))
                control.library = value.toString();
            else if (is(key, "Clsid"))
                control.clsid = value.toString();
            else
                control.properties.write(key, value);
        }
        design.add(control);
    }
    if (error)
        error->clear();
    return design;
}
}
