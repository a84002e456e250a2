// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The comparison stars of each chart as its photometry table gave them, the
// newest table of a chart only, and what each newer table changed.
namespace store
{
class Database;

struct SequenceStar
{
    QString chart;
    QString auid;
    QString label;
    std::optional<double> v;
    std::optional<double> vError;
    QString comments;
    // When the table was read, in UTC, as ISO 8601 text.
    QString readAt;
};

struct SequenceChange
{
    enum class Kind { Magnitude, Label, Dropped };

    QString chart;
    // When the newer table was read, as readAt.
    QString at;
    QString auid;
    Kind kind = Kind::Magnitude;
    // The label before; the new label of a relabelled star.
    QString label;
    QString newLabel;
    std::optional<double> oldV;
    std::optional<double> newV;
};

// Whether the database has the tables: a foreign one never gets them.
outcome::Result<bool> hasSequences(Database &db);
// The stars of the charts named (letter case ignored), in no particular order.
outcome::Result<QList<SequenceStar>> sequencesOf(Database &db, const QStringList &charts);
// A comparison star as the checks of an estimate ask for it.
struct ChartLabel
{
    QString label;
    std::optional<double> v;
};

// A chart's comparison stars by label, as the checks of an estimate ask for
// them. Built from the one text kept per chart without a string per star, as
// a night's check reads hundreds of charts.
class ChartLabels
{
public:
    struct Stars
    {
        // How many stars of the chart have the label, and the V of the last.
        int count = 0;
        std::optional<double> v;
    };

    ChartLabels() = default;
    explicit ChartLabels(const QList<ChartLabel> &stars);

    bool isEmpty() const { return m_entries.isEmpty(); }
    // The stars with the label; nothing when no star of the chart has it.
    // Labels are numbers, with no letter case.
    std::optional<Stars> find(QStringView label) const;
    // Every label once, in no particular order.
    QStringList labels() const;

private:
    friend outcome::Result<QHash<QString, ChartLabels>> labelsOf(Database &db, const QStringList &charts);

    struct Entry
    {
        // The label's place in the text.
        qsizetype start = 0;
        qsizetype length = 0;
        Stars stars;
    };

    static ChartLabels fromText(QString text);
    QStringView labelOf(const Entry &entry) const;

    QString m_text;
    // One per label, in the order of the labels' texts.
    QList<Entry> m_entries;
};

// The labels of the charts named, by chart ID in upper case; a chart without
// a sequence is left out. Kept in one text per chart beside its stars, to a
// thousandth, so that a night's hundreds of charts are read at once.
outcome::Result<QHash<QString, ChartLabels>> labelsOf(Database &db, const QStringList &charts);
// Within the caller's transaction: the chart's stars replaced by these, and
// the changes added to those not yet told.
outcome::Done replaceSequence(Database &db, const QString &chart, const QList<SequenceStar> &stars,
                              const QList<SequenceChange> &changes);
// The changes of the chart the observer has not been told of, oldest first.
outcome::Result<QList<SequenceChange>> untoldChanges(Database &db, const QString &chart);
outcome::Done markTold(Database &db, const QString &chart);
// What the observer wrote at the eyepiece in the newest observations made
// with the chart.
outcome::Result<QStringList> recentEstimates(Database &db, const QString &chart, int count);
}
