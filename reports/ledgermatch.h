// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "store/ledger.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace reports
{

// Which lines of a day's report the AAVSO holds, by the ledger of the
// downloads imported since it began.
namespace modReportcheck
{
// How a line stands at the AAVSO.
enum class Standing {
    Held,
    // Under another name: the only held observation of its date, magnitude
    // and fainter-than mark, which no other line of the report holds.
    HeldAs,
    // The star, date, magnitude and mark of an earlier line that is held:
    // the ledger keeps observations alike as one, so whether the AAVSO holds
    // this one too cannot be told.
    SameAs,
    // Dated after the newest observation of the downloads.
    NotCoveredYet,
    Missing,
};

struct LedgerLine
{
    int line = 0;
    // Its star, date and magnitude as written: "ss cyg, 2458124.1, 11.2".
    QString observation;
    Standing standing = Standing::Missing;
    // The AAVSO's name of the star, when held as another.
    QString heldAs;
    // The earlier line it repeats.
    int sameAs = 0;
};

// Every line of a report whose date and magnitude are numbers, with the counts.
struct ReportLedger
{
    // Why the file could not be read; empty when it was.
    QString problem;
    int held = 0;
    int missing = 0;
    int notCovered = 0;
    int same = 0;
    QList<LedgerLine> lines;
    // Lines corrected or withdrawn here whose old value the AAVSO still holds.
    struct Changed
    {
        qint64 change = 0;
        bool withdrawn = false;
        // As the lines' observations: "ss cyg, 2458124.1, 11.2".
        QString observation;
    };
    QList<Changed> changed;
};

// "corrected here, held at the AAVSO with the old value", "withdrawn here, held at the AAVSO".
QString changedText(const ReportLedger::Changed &changed);

// The mark of a line: "held", "held as OMI CET", "same as line 7", "not at
// the AAVSO yet", "not covered yet".
QString standingText(const LedgerLine &line);
// The counts in one line: "the AAVSO holds 2 lines; not at the AAVSO yet: 1 line".
QString ledgerSummary(const ReportLedger &report);
// Said instead of any count while no download was imported since the ledger began.
QString noDownloadNote();

// Whether the ledger says the AAVSO holds the line: its star (or, as the
// report check allows, the one observation of its date, magnitude and mark
// under another name). False without a ledger. Reads only.
bool heldAtAavso(const appfiles::Folder &appFolder, const QString &line);

// The ledger laid out for matching many reports: by date, magnitude and
// fainter-than, and the stars by varstars::starKey.
class LedgerMatch
{
public:
    explicit LedgerMatch(const store::Ledger &ledger);

    // A download was imported since the ledger began; before, nothing can
    // be told missing.
    bool begun() const;
    // The report's bytes as the report check reads them.
    ReportLedger match(const QByteArray &bytes);

private:
    struct Moment
    {
        // Ten-thousandths of a day.
        qint64 jd;
        double magnitude;
        bool fainterThan;

        auto operator<=>(const Moment &) const = default;
    };
    struct Entry
    {
        Moment moment;
        // Its star by key, and as the AAVSO writes it.
        int star;
        int written;
    };
    struct Earlier
    {
        bool operator()(const Entry &a, const Entry &b) const { return a.moment < b.moment; }
    };
    // The number of a star's key, given once.
    int keyNumber(const QString &key);
    // The star of a name, by key; a star only the reports name is a key of
    // its own, which no held observation has.
    int starOf(QStringView name);

    bool m_begun = false;
    std::optional<qint64> m_newest;
    // By date, magnitude and fainter-than.
    std::vector<Entry> m_held;
    QStringList m_written;
    QHash<QString, int> m_keys;
    // The names the reports write, each looked up once.
    QHash<QString, int> m_names;
};
}

} // namespace reports
