// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>

// The tables of "starcharts.mdb". Every column is text of a fixed greatest
// length; the engine itself refuses an empty text and a text that is too long,
// and compares and sorts text without regard to letter case.
namespace store
{
// The name of every column, written once: the tables below and every query
// of the store are made of these. "chart" is a column of Charts and cumobs;
// "star" and "magnitude" of cumobs and of the program's own tables.
namespace column
{
inline constexpr QLatin1StringView starname{"starname"};
inline constexpr QLatin1StringView chart{"chart"};
inline constexpr QLatin1StringView nightly{"nightly"};
inline constexpr QLatin1StringView picturefile{"picturefile"};
inline constexpr QLatin1StringView finderchart{"finderchart"};
inline constexpr QLatin1StringView constell{"constell"};
inline constexpr QLatin1StringView star{"star"};
inline constexpr QLatin1StringView magnitude{"magnitude"};
inline constexpr QLatin1StringView estimate{"estimate"};
inline constexpr QLatin1StringView obsdate{"obsdate"};
inline constexpr QLatin1StringView obscode{"obscode"};
inline constexpr QLatin1StringView notes{"notes"};
// The planner's table.
inline constexpr QLatin1StringView ra{"ra"};
inline constexpr QLatin1StringView dec{"dec"};
inline constexpr QLatin1StringView type{"type"};
inline constexpr QLatin1StringView period{"period"};
inline constexpr QLatin1StringView periodUncertain{"period_uncertain"};
inline constexpr QLatin1StringView epoch{"epoch"};
inline constexpr QLatin1StringView max{"max"};
inline constexpr QLatin1StringView min{"min"};
// The ledger's tables.
inline constexpr QLatin1StringView jd{"jd"};
inline constexpr QLatin1StringView fainter{"fainter"};
inline constexpr QLatin1StringView id{"id"};
inline constexpr QLatin1StringView newest{"newest"};
// The record of changes.
inline constexpr QLatin1StringView at{"at"};
inline constexpr QLatin1StringView kind{"kind"};
inline constexpr QLatin1StringView report{"report"};
inline constexpr QLatin1StringView oldLine{"old_line"};
inline constexpr QLatin1StringView newLine{"new_line"};
inline constexpr QLatin1StringView row{"row"};
inline constexpr QLatin1StringView oldRow{"old_row"};
inline constexpr QLatin1StringView newRow{"new_row"};
inline constexpr QLatin1StringView copies{"copies"};
inline constexpr QLatin1StringView state{"state"};
inline constexpr QLatin1StringView undoes{"undoes"};
inline constexpr QLatin1StringView dismissed{"dismissed"};
// The comparison sequences.
inline constexpr QLatin1StringView auid{"auid"};
inline constexpr QLatin1StringView label{"label"};
inline constexpr QLatin1StringView vMag{"v"};
inline constexpr QLatin1StringView vError{"v_error"};
inline constexpr QLatin1StringView comments{"comments"};
inline constexpr QLatin1StringView readAt{"read_at"};
inline constexpr QLatin1StringView newLabel{"new_label"};
inline constexpr QLatin1StringView oldV{"old_v"};
inline constexpr QLatin1StringView newV{"new_v"};
inline constexpr QLatin1StringView told{"told"};
inline constexpr QLatin1StringView labels{"labels"};
// The record of imports.
inline constexpr QLatin1StringView file{"file"};
inline constexpr QLatin1StringView size{"size"};
inline constexpr QLatin1StringView sha256{"sha256"};
inline constexpr QLatin1StringView started{"started"};
inline constexpr QLatin1StringView ended{"ended"};
inline constexpr QLatin1StringView stopLine{"stop_line"};
inline constexpr QLatin1StringView added{"added"};
inline constexpr QLatin1StringView begunBefore{"begun_before"};
inline constexpr QLatin1StringView newestBefore{"newest_before"};
inline constexpr QLatin1StringView schemaVersion{"schema_version"};
inline constexpr QLatin1StringView undone{"undone"};
inline constexpr QLatin1StringView importId{"import"};
inline constexpr QLatin1StringView firstRow{"first_row"};
inline constexpr QLatin1StringView lastRow{"last_row"};
inline constexpr QLatin1StringView checksum{"checksum"};
inline constexpr QLatin1StringView changesBefore{"changes_before"};
inline constexpr QLatin1StringView keys{"keys"};
inline constexpr QLatin1StringView change{"change"};
inline constexpr QLatin1StringView removedRows{"removed_rows"};
inline constexpr QLatin1StringView restored{"restored"};
}
// The planner's table: where each star of the catalogue is, and what is
// known of its variation (positions.h).
inline constexpr QLatin1StringView positionsTable{"positions"};
// The ledger: which observations the AAVSO holds, as the imported downloads
// tell it, and how far in time those downloads reach (ledger.h).
inline constexpr QLatin1StringView ledgerTable{"ledger"};
inline constexpr QLatin1StringView ledgerCoverageTable{"ledger_coverage"};
// Every correction and withdrawal of an observation, kept for good (changes.h).
inline constexpr QLatin1StringView changesTable{"changes"};
// Each chart's comparison stars, and what a newer table of them changed (sequences.h).
inline constexpr QLatin1StringView sequencesTable{"sequences"};
inline constexpr QLatin1StringView sequenceChangesTable{"sequence_changes"};
// Each chart's labels and V in one text, as the checks of a night read them.
inline constexpr QLatin1StringView sequenceLabelsTable{"sequence_labels"};
// Every import, what it added and noted, and each undo of one (imports.h).
inline constexpr QLatin1StringView importsTable{"imports"};
inline constexpr QLatin1StringView importPartsTable{"import_parts"};
inline constexpr QLatin1StringView importUndosTable{"import_undos"};

struct Column
{
    QString name;
    int length;
};

struct Table
{
    QString name;
    QList<Column> columns;

    const Column *column(const QString &name) const;
    // The greatest length of one of its columns, given by its constant.
    int length(QLatin1StringView columnName) const;
    QStringList columnNames() const;
};

const Table &charts();
const Table &cumobs();
// The table of that name, ignoring letter case; nullptr when there is none.
const Table *table(const QString &name);

// The statements that make a new database: both tables, the unique index on
// the star name, and every addition below.
QStringList creationStatements();
// What later versions added to the database: the lookup indexes, the
// planner's table of positions, the ledger's tables, the record of
// changes, the comparison sequences and the record of imports. An older database of this program gets the ones it
// lacks, once (lookupindexes.h).
QStringList additionStatements();
// The ledger's tables, among the additions.
QStringList ledgerStatements();
// The record of imports, among the additions.
QStringList importStatements();
// The indexes behind the quick lookups of cumobs: a star's observations by
// date (the summary on the observation screen) and all of them by date (the
// catalogue's lists). The engine's inner working: the tables stay as they are.
QStringList lookupIndexStatements();
}
