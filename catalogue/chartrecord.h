// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"
#include "store/charts.h"

#include <QString>

#include <optional>

namespace catalogue
{

// One chart record as the catalogue screen's fields hold it and as the table
// charts stores it, and the rules between the two.
namespace moddbscreen
{
// The file types of the frame "File Type:", in the order of its buttons.
enum class FileType { Png, Gif, Jpg };

// The record fields as the observer left them.
struct ChartFields
{
    QString name; // txtName
    QString chartdate; // txtChartdate
    bool nightly = true;
    QString chartpic; // txtChartpic
    QString finderpic; // txtFinderpic
    QString constell; // txtConstell
    std::optional<FileType> fileType;
};

// One row of charts, its six columns in table order.
using ChartRow = store::ChartRow;

// What a finder chart of a star without one is stored as.
QString noFinderChart();

// The constellation taken from a star's name: its last three letters, all
// of it when shorter ("ss cyg" gives "cyg").
QString constellationOf(const QString &name);

QString extension(FileType type);
// The file type Edit record selects: by the last three letters of the chart's
// file name, letter case counting ("png", "gif", anything else ".jpg");
// none for a record without a chart file.
std::optional<FileType> fileTypeOf(const QString &picturefile);

// Ticked only for exactly "yes".
bool isTicked(const QString &nightly);
QString nightlyText(bool ticked);

// The row New record stores: bare file names get the extension of the file
// type, an empty finder chart field stands for "none".
ChartRow newRecordRow(const ChartFields &fields);
// The row Save Changes stores: the fields as they are.
ChartRow editedRow(const ChartFields &fields);
// The fields Edit record fills from a row.
ChartFields fieldsOf(const ChartRow &row);

// Refuses the fields for the first reason why they cannot be stored, worded
// for the observer and naming the field by its label and its control's
// object name ("txtName"; "Option1" for the file type).
outcome::Done checkNewRecord(const ChartFields &fields);
outcome::Done checkEditedRecord(const ChartFields &fields);

// Tells which image files the row names that are not in their folders yet
// (chart images in "starcharts", finder charts in "charts"); empty when
// all are there.
QString missingFiles(const appfiles::Folder &appFolder, const ChartRow &row);
// The same in one line for the status bar, naming the files and their
// folders only: "\"rr lyr.gif\" is not in starcharts yet."; empty when all are there.
QString missingFilesNote(const appfiles::Folder &appFolder, const ChartRow &row);
}

} // namespace catalogue
