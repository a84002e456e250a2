// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "reports/plausibility.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace reports
{

// The AAVSO Visual File Format read as strictly as the AAVSO's upload reads
// it: "#" lines for the header (any order, any letter case; #OBSCODE and
// #DATE may come again and hold for the lines after them), then one
// observation of eight fields per line, split by the declared delimiter.
// What the upload would refuse, or worse accept wrongly, becomes a finding
// worded for the observer.
namespace modReportcheck
{
enum class Severity {
    // The upload refuses the line or the file.
    Error,
    // The upload takes it, but the value is probably wrong.
    Warning,
};

struct Finding
{
    Severity severity = Severity::Error;
    // The line of the file, counted from 1; 0 for the file as a whole.
    int line = 0;
    // The field in the observer's words ("magnitude"), a header parameter
    // ("#OBSCODE"), "line" or "file".
    QString field;
    QString value;
    QString reason;
};

// The findings of one file, bounded whatever the file holds: every finding
// is counted, but only the first thousand errors and the first thousand
// warnings (by their line) are kept.
class Findings
{
public:
    static constexpr int keptOfEachKind = 1000;

    // The value is shown cut to its first 300 characters, control characters made visible.
    void add(Severity severity, int line, const QString &field, QStringView value, const QString &reason);
    int errors() const;
    int warnings() const;
    // The findings kept, errors first, each kind in the order of the lines.
    QList<Finding> list() const;

private:
    struct Entry
    {
        Finding finding;
        qint64 order = 0;
    };
    static bool earlier(const Entry &a, const Entry &b);

    // One heap per severity, the latest line on top: the first to go.
    std::array<QList<Entry>, 2> m_kept;
    std::array<int, 2> m_counts{};
    qint64 m_added = 0;
};

// A value as a finding shows it: control characters made visible, and a
// long value cut after 300 characters with "…" and its full length.
QString shown(QStringView value);

// The eight fields of a data line, in their order.
enum class Field { Name, Date, Magnitude, CommentCode, Comp1, Comp2, Chart, Notes };
inline constexpr int fieldCount = 8;

// The field's name in the observer's words.
QString fieldName(Field field);

// What identifies an observation: the star (letter case ignored), the Julian
// Date to four decimals and the magnitude as a number.
struct ObservationKey
{
    QString star;
    qint64 tenThousandthDays = 0;
    bool fainterThan = false;
    qint64 thousandthMagnitudes = 0;
};

// The key of an observation, when its date and magnitude are numbers.
std::optional<ObservationKey> observationKey(QStringView star, QStringView date, QStringView magnitude);

// The observation keys of a file, each once with the line it comes first on
// and the star, date and magnitude as written there. Kept compactly: a file
// of the largest size a report may have holds hundreds of thousands.
class KeyIndex
{
public:
    // The number of the key in the index; a key not yet there is added with
    // this line and text.
    qsizetype add(const ObservationKey &key, int line, QStringView text);
    // The number of the key, or nothing.
    std::optional<qsizetype> find(const ObservationKey &key) const;
    qsizetype size() const;
    int line(qsizetype number) const;
    QString text(qsizetype number) const;
    // The dates of the keys, ascending, each once.
    QList<qint64> dates() const;

private:
    struct Entry
    {
        qint64 days;
        qint64 magnitudes;
        qsizetype at;
        int line;
        int starLength;
        int textLength;
        bool fainterThan;
    };
    bool matches(const Entry &entry, const ObservationKey &key) const;
    size_t slotOf(const ObservationKey &key) const;
    void grow();

    QList<Entry> m_entries;
    // The case-folded star of each entry, then its text.
    QString m_texts;
    // Open addressing: entry numbers, -1 for a free slot; never fuller than half.
    QList<int> m_slots;
};

// The night a day's report file holds, as Julian Dates: from local midnight
// of its date to local noon of the next day, since a night's observing goes
// on past midnight in the file begun the evening before.
struct Night
{
    double begin = 0;
    double end = 0;
};
Night nightOf(const QDate &date);

// The day a day's report file is named after, and its name.
struct ReportDay
{
    QDate date;
    QString fileName;
};

struct Reading
{
    // The data lines of eight fields.
    int observations = 0;
    Findings findings;
    KeyIndex keys;
    // The lines whose date and magnitude are numbers, for the checks after an estimate.
    QList<plausibility::Estimate> estimates;
};

// Reads a report file's bytes: the 8-bit code page of the reports, or UTF-8
// after a byte-order mark; lines end in LF, CR LF or, in a file without LF,
// CR. A date lies in the future only when it lies more than five minutes
// after `now`: the program stamps its fields with the next minute, and
// clocks differ a little. The dates of a day's report are also held against
// its night.
Reading readVisual(const QByteArray &bytes, const QDateTime &now, const std::optional<ReportDay> &day = std::nullopt);

// Whether the bytes are UTF-16, by their byte-order mark: no report can be
// read from them.
bool isUtf16(const QByteArray &bytes);

// Every observation key of a report file's bytes with its line, quickly and
// without any check: for comparing a report with many earlier ones. Keys
// whose date is not among `dates` (ten-thousandths of a day, in ascending
// order) are skipped without being built.
void forEachKey(const QByteArray &bytes, const QList<qint64> &dates,
                const std::function<void(const ObservationKey &, int line)> &visit);

// Every line of eight fields of a report file's bytes, with its number and
// its star, date and magnitude as written, quickly and without any other
// check: for holding many reports against what the AAVSO has.
void forEachObservation(
    const QByteArray &bytes,
    const std::function<void(int line, QStringView star, QStringView date, QStringView magnitude)> &visit);

// The Julian Date of a moment.
double julianDate(const QDateTime &moment);
}

// The comment codes of the AAVSO visual format, as the observation screen's
// list offers them: the code letter, " - ", and what it means.
const QStringList &commentCodes();

// A star is observed nightly only when its catalogue flag is exactly "yes":
// its lines are dated to four decimals, as the AAVSO asks of fast stars.
bool isNightly(const QString &nightly);

} // namespace reports
