// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/problem.h"

#include <QMessageBox>

class QLoggingCategory;

namespace screenkit
{

// Shows a problem in a message box through the message seam: its message,
// its title (or fallbackTitle when it has none) and the icon of its severity.
// Records it first in the subsystem's logging category, so a failure the
// observer dismissed leaves a trace.
void showProblem(const outcome::Problem &problem, const QLoggingCategory &category, const QString &fallbackTitle = {});

// The same with a question at its end: the observer's answer among the buttons.
QMessageBox::StandardButton askAbout(const outcome::Problem &problem, const QLoggingCategory &category,
                                     QMessageBox::StandardButtons buttons);

} // namespace screenkit
