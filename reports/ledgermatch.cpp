// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/ledgermatch.h"

#include "store/database.h"

#include "reports/visualformat.h"
#include "store/observationkey.h"
#include "varstars/starkey.h"

#include <algorithm>

namespace reports
{

namespace modReportcheck
{
namespace
{
QString lines(int count)
{
    return count == 1 ? QStringLiteral("1 line") : QStringLiteral("%1 lines").arg(count);
}

// "star, date, magnitude" made at once: there is one for every line of a year of reports.
QString joined(std::initializer_list<QStringView> parts)
{
    qsizetype size = 2 * (static_cast<qsizetype>(parts.size()) - 1);
    for (const QStringView part : parts)
        size += part.size();
    QString text(size, Qt::Uninitialized);
    QChar *at = text.data();
    for (const QStringView part : parts) {
        if (at != text.data()) {
            *at++ = u',';
            *at++ = u' ';
        }
        at = std::copy(part.begin(), part.end(), at);
    }
    return text;
}

// A line of the report as matched: where in the held observations its date,
// magnitude and mark fall.
struct Read
{
    qsizetype first = 0;
    qsizetype last = 0;
    int star = -1;
    qint64 jd = 0;
};
}

QString standingText(const LedgerLine &line)
{
    switch (line.standing) {
    case Standing::Held: return QStringLiteral("held");
    case Standing::HeldAs: return QStringLiteral("held as %1").arg(line.heldAs);
    case Standing::SameAs: return QStringLiteral("same as line %1").arg(line.sameAs);
    case Standing::NotCoveredYet: return QStringLiteral("not covered yet");
    case Standing::Missing: break;
    }
    return QStringLiteral("not at the AAVSO yet");
}

QString ledgerSummary(const ReportLedger &report)
{
    QStringList parts{QStringLiteral("the AAVSO holds %1").arg(lines(report.held))};
    if (report.same > 0)
        parts.append(QStringLiteral("same as an earlier line: %1").arg(lines(report.same)));
    if (report.missing > 0)
        parts.append(QStringLiteral("not at the AAVSO yet: %1").arg(lines(report.missing)));
    if (report.notCovered > 0)
        parts.append(
            QStringLiteral("not covered yet: %1, dated after the newest download").arg(lines(report.notCovered)));
    return parts.join(QStringLiteral("; "));
}

QString noDownloadNote()
{
    return QStringLiteral("No AAVSO download has been imported since the ledger began, so it cannot tell which lines "
                          "the AAVSO holds: import a download of your observations first.");
}

QString changedText(const ReportLedger::Changed &changed)
{
    return changed.withdrawn ? QStringLiteral("withdrawn here, held at the AAVSO")
                             : QStringLiteral("corrected here, held at the AAVSO with the old value");
}

bool heldAtAavso(const appfiles::Folder &appFolder, const QString &line)
{
    const QStringList fields = line.split(u'|');
    if (fields.size() < 3)
        return false;
    const bool fainter = fields.at(2).startsWith(u'<');
    const auto key = store::observationKey(fields.at(0), fields.at(1), fainter ? fields.at(2).mid(1) : fields.at(2));
    if (!key)
        return false;
    store::Database db(appFolder, store::Database::Access::ReadOnly);
    const QStringList stars = store::heldStars(db, *key, fainter).valueOr({});
    const QString wanted = varstars::starKey(fields.at(0));
    return stars.size() == 1 || std::any_of(stars.cbegin(), stars.cend(), [&wanted](const QString &star) {
               return varstars::starKey(star) == wanted;
           });
}

LedgerMatch::LedgerMatch(const store::Ledger &ledger)
    : m_begun(ledger.begun)
    , m_newest(ledger.newest)
    , m_written(ledger.stars)
{
    QList<int> keyOf;
    keyOf.reserve(ledger.stars.size());
    for (const QString &star : ledger.stars)
        keyOf.append(keyNumber(varstars::starKey(star)));
    m_held.reserve(ledger.held.size());
    for (const store::Ledger::Held &held : ledger.held) {
        const int written = static_cast<int>(held.star);
        m_held.push_back({{held.jd, held.magnitude, held.fainterThan}, keyOf.at(written), written});
    }
    // The store reads them in this order already.
    if (!std::is_sorted(m_held.cbegin(), m_held.cend(), Earlier()))
        std::sort(m_held.begin(), m_held.end(), Earlier());
}

bool LedgerMatch::begun() const
{
    return m_begun;
}

int LedgerMatch::keyNumber(const QString &key)
{
    // Spellings of one star share the number the first of them got.
    auto found = m_keys.constFind(key);
    if (found == m_keys.cend())
        found = m_keys.insert(key, static_cast<int>(m_keys.size()));
    return found.value();
}

int LedgerMatch::starOf(QStringView name)
{
    // Looked up in place: most names have been seen on earlier lines.
    const QString inPlace = QString::fromRawData(name.data(), name.size());
    if (const auto found = m_names.constFind(inPlace); found != m_names.cend())
        return found.value();
    const QString kept = name.toString();
    return m_names.insert(kept, keyNumber(varstars::starKey(kept))).value();
}

ReportLedger LedgerMatch::match(const QByteArray &bytes)
{
    ReportLedger report;
    // Nearly every line of a report is an observation.
    report.lines.reserve(bytes.count('\n') + 1);
    std::vector<Read> reads;
    reads.reserve(static_cast<std::size_t>(report.lines.capacity()));
    forEachObservation(bytes, [&](int number, QStringView star, QStringView date, QStringView magnitude) {
        const bool fainterThan = magnitude.startsWith(u'<');
        const auto key = store::observationKey(star, date, magnitude.sliced(fainterThan ? 1 : 0));
        if (!key)
            return;
        const auto jd = static_cast<qint64>(key->jd);
        const auto [first, last] =
            std::equal_range(m_held.cbegin(), m_held.cend(), Entry{{jd, key->magnitude, fainterThan}, 0, 0}, Earlier());
        reads.push_back({first - m_held.cbegin(), last - m_held.cbegin(), starOf(star), jd});
        report.lines.append({number, joined({star, date, magnitude}), Standing::Missing, {}});
    });

    // Each held observation holds one line at most: the line that took it,
    // by its index. By name first, then under another name.
    QHash<qsizetype, std::size_t> taken;
    const auto same = [&](std::size_t i, std::size_t earlier) {
        report.lines[i].standing = Standing::SameAs;
        report.lines[i].sameAs = report.lines[earlier].line;
    };
    for (std::size_t i = 0; i < reads.size(); ++i) {
        const Read &read = reads[i];
        std::optional<std::size_t> repeated;
        for (qsizetype held = read.first; held < read.last && report.lines[i].standing == Standing::Missing; ++held) {
            if (m_held[held].star != read.star)
                continue;
            if (const auto took = taken.constFind(held); took != taken.cend()) {
                repeated = repeated.value_or(took.value());
            } else {
                taken.insert(held, i);
                report.lines[i].standing = Standing::Held;
            }
        }
        if (report.lines[i].standing == Standing::Missing && repeated)
            same(i, *repeated);
    }
    for (std::size_t i = 0; i < reads.size(); ++i) {
        const Read &read = reads[i];
        LedgerLine &line = report.lines[i];
        if (line.standing == Standing::Missing && read.last - read.first == 1) {
            if (const auto took = taken.constFind(read.first); took == taken.cend()) {
                taken.insert(read.first, i);
                line.standing = Standing::HeldAs;
                line.heldAs = m_written.at(m_held[read.first].written);
            } else if (reads[took.value()].star == read.star) {
                same(i, took.value());
            }
        }
        switch (line.standing) {
        case Standing::Held:
        case Standing::HeldAs: ++report.held; break;
        case Standing::SameAs: ++report.same; break;
        case Standing::NotCoveredYet: break;
        case Standing::Missing:
            if (!m_newest || read.jd > *m_newest) {
                line.standing = Standing::NotCoveredYet;
                ++report.notCovered;
            } else {
                ++report.missing;
            }
        }
    }
    return report;
}
}

} // namespace reports
