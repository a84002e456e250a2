// SPDX-License-Identifier: GPL-2.0-or-later
#include "modentryscreen.h"

#include "database.h"
#include "reportfile.h"

#include <QFileInfo>

namespace
{
modEntryscreen::RecordOutcome refused(const QString &why)
{
    return {modEntryscreen::RecordOutcome::Refused, why};
}
}

QStringList modEntryscreen::liststars(const QString &appFolder, const QString &constell, QString *error)
{
    store::Database db(appFolder);
    QSqlQuery query = db.select(QStringLiteral("charts"), store::Where{QStringLiteral("constell"), constell},
                                {{QStringLiteral("starname")}});
    if (!query.isActive()) {
        *error = db.error();
        return {};
    }
    QStringList stars;
    while (query.next())
        stars.append(query.value(0).toString());
    return stars;
}

modEntryscreen::RecordOutcome modEntryscreen::recordobs(const QString &appFolder, const QString &todaysfile,
                                                        const ObservationTexts &texts)
{
    if (const auto problem = checkObservation(texts))
        return refused(*problem);

    store::Database db(appFolder);
    const auto chart = db.first(QStringLiteral("charts"), store::Where{QStringLiteral("starname"), texts.star});
    if (!chart)
        return refused(db.error().isEmpty() ? notInCatalogue(texts.star) : db.error());
    const Recording recording = makeRecording(texts, isNightly(chart->value(QStringLiteral("nightly")).toString()));

    // The header may have been saved since the screen opened without one.
    if (!QFileInfo::exists(todaysfile)) {
        if (const auto error = beginReport(appFolder, todaysfile))
            return refused(*error);
    }
    const qint64 sizeBefore = QFileInfo(todaysfile).size();
    if (const auto error = appendReport(todaysfile, recording.line))
        return refused(*error);

    const CumobsRow &row = recording.row;
    const bool stored = db.insert(QStringLiteral("cumobs"),
                                  {{QStringLiteral("star"), row.star},
                                   {QStringLiteral("magnitude"), row.magnitude},
                                   {QStringLiteral("estimate"), row.estimate},
                                   {QStringLiteral("obsdate"), row.obsdate},
                                   {QStringLiteral("obscode"), row.obscode},
                                   {QStringLiteral("notes"), row.notes},
                                   {QStringLiteral("chart"), row.chart}});
    if (stored)
        return {};

    // The report and the table must tell the same story: take the line back.
    const auto cutError = cutReport(todaysfile, sizeBefore);
    QString message = QStringLiteral("The observation could not be stored in the database: %1\n\n").arg(db.error());
    message += cutError ? QStringLiteral("Its line could not be taken out of the report again either (%1); "
                                         "remove the last line of the report by hand before you submit it.")
                              .arg(*cutError)
                        : QStringLiteral("Its line has been taken out of the report again, so nothing of it "
                                         "was recorded.");
    message += QStringLiteral(" Your entries are kept in the fields.");
    return {RecordOutcome::Failed, message};
}
