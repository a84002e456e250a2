// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "hostkit/formdesign.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QImage;
class QWidget;

// A header as an observer saves it, CR LF line ends and all.
extern const QByteArray observerHeader;

// Clicks into the field (its inner field for a control that has one) and
// types the text, as the observer would.
void typeInto(QWidget *field, const QString &text);

// The observation screen's saved design, as the program reads it.
hostkit::FormDesign entryScreenDesign();

// The topic the help window shows (the page's anchor: "contents" or a
// context number), or an empty text when no help window is open.
QString shownHelpTopic();
// Closes the help window, when one is open.
void closeHelp();

// Answers the next file dialog with the file, typed into its name field as
// the observer would, whenever the dialog takes the focus. A dialog that
// will not take it is rejected after a few seconds, so the test fails
// instead of waiting for ever.
void answerFileDialog(const QString &file);

// The header editor's default content as it saves it.
extern const QByteArray defaultHeaderBytes;

// Pixels with a green or blue part above 40: light the night must not show.
int lightPixels(const QImage &image);
// The widget as it looks now, the text caret drawn (not blinked away).
QImage grabNight(QWidget *widget);
