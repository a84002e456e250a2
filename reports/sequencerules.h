// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"
#include "reports/sequence.h"
#include "store/sequences.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

// Keeping each chart's newest sequence, and telling the observer what a newer
// one changed.
namespace reports
{
// A star's V changed by this much or more is a change worth a new chart.
inline constexpr double sequenceShift = 0.1;
// How many of the newest observations with a chart count as its recent use.
inline constexpr int recentUses = 20;

// What the newer table changes of the kept stars, matched by AUID: a V
// shifted by sequenceShift or more, a new label, a star left out.
QList<store::SequenceChange> sequenceChanges(const QList<store::SequenceStar> &kept, const Sequence &newer,
                                             const QString &at);

// The table kept for its chart in place of the one before, with what it
// changed, in one transaction; refused when the database lacks the tables.
// Returns the changes.
outcome::Result<QList<store::SequenceChange>> keepSequence(const appfiles::Folder &appFolder, const Sequence &sequence,
                                                           const QDateTime &now);

struct SequencesRead
{
    QStringList lines;
    // 0 all read, 1 with stars refused, 2 nothing read.
    int status = 2;
};
// Reads and keeps each file; the lines say what each gave.
SequencesRead readSequences(const appfiles::Folder &appFolder, const QStringList &paths, const QDateTime &now);

// What the observation screen says when it shows the chart: the changes not
// yet told, a star dropped only when the recent estimates named it, and marks
// them told. Empty when there is nothing to say or no table.
QString sequenceNote(const appfiles::Folder &appFolder, const QString &chart);
}
