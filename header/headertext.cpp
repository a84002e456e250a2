// SPDX-License-Identifier: GPL-2.0-or-later
#include "header/headertext.h"

#include "appfiles/folder.h"
#include "appfiles/headerfile.h"

QString header::defaultHeader()
{
    return QStringLiteral("#TYPE=Visual\n#OBSCODE=%1\n#SOFTWARE=%2\n#DELIM=|\n#DATE=JD\n#OBSTYPE=Visual\n")
        .arg(appfiles::exampleObserverCode(), software());
}

QString header::software()
{
    return QStringLiteral(VARLUME_SOFTWARE);
}

bool header::holdsExampleCode(const QString &text)
{
    const QString line = text.section(QLatin1Char('\n'), 1, 1);
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals >= 0
        && line.mid(equals + 1).trimmed().compare(appfiles::exampleObserverCode(), Qt::CaseInsensitive) == 0;
}

QString header::instructions()
{
    return QStringLiteral("You only have to do this once, but the \n"
                          "AAVSO requires that when observations \n"
                          "are submitted they must have the \n"
                          "appropriate header. Please amend the \n"
                          "details in the box on the left to reflect your \n"
                          "own situation, then hit the SAVE button. \n"
                          "This is your file header which will be \n"
                          "inserted into each observation report you \n"
                          "make. Do NOT change the 4th line or end \n"
                          "your typing with a carriage return, since \n"
                          "the app inserts this automatically!\n");
}

bool header::countsAsEdit(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    // X11 gives Delete the text "\x7f", though the key types no character.
    if (text.isEmpty() || key == Qt::Key_Delete)
        return false;
    // Ctrl with a letter types the control code of that letter, whatever
    // text the platform reports for it.
    const bool ctrlLetter = modifiers.testFlag(Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z;
    const int code = ctrlLetter ? key - Qt::Key_A + 1 : text.at(0).unicode();
    return code != 1;
}

outcome::Done header::saveHeader(const appfiles::Folder &appFolder, const QString &text)
{
    const outcome::Done saved = appfiles::writeHeader(appFolder, text);
    if (saved)
        return saved;
    outcome::Problem problem = saved.problem();
    problem.message += QStringLiteral("\n\nYour text is still in the editor. Mend it, or make the program's "
                                      "folder writable, then press Save again.");
    return problem.titled(QStringLiteral("Header not saved")).as(outcome::Severity::Warning);
}
