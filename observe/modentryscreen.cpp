#include "modentryscreen.h"

#include "database.h"
#include "frmentryscreen.h"
#include "messageseam.h"
#include "recording.h"
#include "reportfile.h"

#include <QFileInfo>

namespace
{
void refuse(const QString &why)
{
    messageseam::ask(why, QStringLiteral("Observation not recorded"), QMessageBox::Warning);
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

void modEntryscreen::recordobs(frmEntryscreen &screen)
{
    const ObservationTexts texts = screen.observation();
    if (const auto problem = checkobs(texts)) {
        refuse(*problem);
        return;
    }

    store::Database db(screen.appFolder());
    const auto chart = db.first(QStringLiteral("charts"), store::Where{QStringLiteral("starname"), texts.star});
    if (!chart) {
        refuse(db.error().isEmpty() ? notincatalogue(texts.star) : db.error());
        return;
    }
    const Recording recording = makerecording(texts, isnightly(chart->value(QStringLiteral("nightly")).toString()));

    // The header may have been saved since the screen opened without one.
    const QString report = screen.todaysfile();
    if (!QFileInfo::exists(report)) {
        if (const auto error = beginreport(screen.appFolder(), report)) {
            refuse(*error);
            return;
        }
    }
    const qint64 sizeBefore = QFileInfo(report).size();
    if (const auto error = appendreport(report, recording.line)) {
        refuse(*error);
        return;
    }
    screen.showreport();

    const CumobsRow &row = recording.row;
    const bool stored = db.insert(QStringLiteral("cumobs"), {{QStringLiteral("star"), row.star},
                                                            {QStringLiteral("magnitude"), row.magnitude},
                                                            {QStringLiteral("estimate"), row.estimate},
                                                            {QStringLiteral("obsdate"), row.obsdate},
                                                            {QStringLiteral("obscode"), row.obscode},
                                                            {QStringLiteral("notes"), row.notes},
                                                            {QStringLiteral("chart"), row.chart}});
    if (!stored) {
        // The report and the table must tell the same story: take the line back.
        const auto cutError = cutreport(report, sizeBefore);
        screen.showreport();
        QString message = QStringLiteral("The observation could not be stored in the database: %1\n\n").arg(db.error());
        message += cutError ? QStringLiteral("Its line could not be taken out of the report again either (%1); "
                                             "remove the last line of the report by hand before you submit it.")
                                  .arg(*cutError)
                            : QStringLiteral("Its line has been taken out of the report again, so nothing of it "
                                             "was recorded.");
        message += QStringLiteral(" Your entries are kept in the fields.");
        refuse(message);
        return;
    }

    screen.clearfields();
    screen.countobservation();
}
