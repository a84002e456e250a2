// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/problembox.h"

#include "hostkit/messageseam.h"

#include <QLoggingCategory>

namespace screenkit
{

namespace
{

QMessageBox::Icon iconOf(outcome::Severity severity)
{
    switch (severity) {
    case outcome::Severity::Critical: return QMessageBox::Critical;
    case outcome::Severity::Warning: return QMessageBox::Warning;
    case outcome::Severity::Information: return QMessageBox::Information;
    }
    return QMessageBox::Critical;
}

} // namespace

void showProblem(const outcome::Problem &problem, const QLoggingCategory &category, const QString &fallbackTitle)
{
    const QString title = problem.title.isEmpty() ? fallbackTitle : problem.title;
    qCWarning(category).noquote() << "shown:" << (title.isEmpty() ? QString() : title + QStringLiteral(": "))
                                  << problem.message;
    hostkit::ask(problem.message, title, iconOf(problem.severity));
}

QMessageBox::StandardButton askAbout(const outcome::Problem &problem, const QLoggingCategory &category,
                                     QMessageBox::StandardButtons buttons)
{
    qCWarning(category).noquote() << "shown:" << problem.title + QStringLiteral(": ") << problem.message;
    const QMessageBox::StandardButton answer =
        hostkit::ask(problem.message, problem.title, iconOf(problem.severity), buttons);
    qCInfo(category).noquote() << "answered:" << answer;
    return answer;
}

} // namespace screenkit
