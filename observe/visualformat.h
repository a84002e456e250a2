// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <optional>

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

    friend bool operator==(const ObservationKey &, const ObservationKey &) = default;
};
size_t qHash(const ObservationKey &key, size_t seed = 0);

// The key of an observation, when its date and magnitude are numbers.
std::optional<ObservationKey> observationKey(const QString &star, const QString &date, const QString &magnitude);

// A data line of eight fields, as the file gives them.
struct Observation
{
    int line = 0;
    // The observer code in force for the line.
    QString obscode;
    std::array<QString, fieldCount> values;
    // The Julian Date, when the date is one the AAVSO takes.
    std::optional<double> jd;
    // Half the last decimal place the date is written to: the rounding it may hold.
    double jdSlack = 0;
    std::optional<ObservationKey> key;

    const QString &value(Field field) const;
};

// The star, date and magnitude of an observation, as a finding shows them.
QString keyText(const Observation &observation);

struct Reading
{
    QList<Observation> observations;
    // In the order of the lines.
    QList<Finding> findings;
};

// Reads a report file's bytes (the 8-bit code page of the reports). A date
// lies in the future only when it lies more than five minutes after `now`:
// the program stamps its fields with the next minute, and clocks differ a
// little.
Reading readVisual(const QByteArray &bytes, const QDateTime &now);

// Every observation key of a report file's bytes with its line, quickly and
// without any check: for comparing a report with many earlier ones. Keys
// whose date is not among `dates` (ten-thousandths of a day, in ascending
// order) are skipped without being built.
void forEachKey(const QByteArray &bytes, const QList<qint64> &dates,
                const std::function<void(const ObservationKey &, int line)> &visit);

// The Julian Date of a moment.
double julianDate(const QDateTime &moment);
}
