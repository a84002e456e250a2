// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/chartrecord.h"

#include "appfiles/codepage.h"
#include "appfiles/folder.h"
#include "store/schema.h"

#include <QFileInfo>
#include <QStringList>

namespace catalogue
{

namespace moddbscreen
{
namespace
{
// A record field: the label the screen shows beside it, its control's
// object name and the column it is stored in.
struct Field
{
    const char *label;
    const char *object;
    QLatin1StringView column;
    // Said when the field is empty.
    const char *hint;
};

const Field nameField{"Variable", "txtName", store::column::starname, "Every chart record needs the star's name."};
const Field chartdateField{"Chart date / ID", "txtChartdate", store::column::chart,
                           "Type the date or identifier printed on the chart."};
const Field chartpicField{"Chart", "txtChartpic", store::column::picturefile,
                          "Type the file name of the star's chart."};
const Field finderpicField{"Finder Chart", "txtFinderpic", store::column::finderchart,
                           "Type the file name of the star's finder chart, or none when it has none."};
const Field constellField{"Constellation", "txtConstell", store::column::constell,
                          "Type the constellation's three-letter abbreviation, as in \"cyg\"."};

QString label(const Field &field)
{
    return QLatin1String(field.label);
}

int width(const Field &field)
{
    return store::charts().length(field.column);
}

// The field named in a refusal: what the message says of it follows its name.
outcome::Problem refused(const Field &field, const QString &said)
{
    return outcome::refused(QStringLiteral("The \"%1\" field %2").arg(label(field), said), QLatin1String(field.object));
}

outcome::Done checkPresent(const QString &text, const Field &field)
{
    if (text.isEmpty())
        return refused(field, QStringLiteral("is empty. ") + QLatin1String(field.hint));
    return {};
}

outcome::Done checkCharacters(const QString &text, const Field &field)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return refused(field,
                           QStringLiteral("holds a control character (a tab, a line break or the like). Remove it."));
    }
    return {};
}

// The star's name and the chart's identifier go into the report lines.
outcome::Done checkReportText(const QString &text, const Field &field)
{
    if (const std::optional<QString> character = appfiles::firstNotInCp1252(text))
        return refused(field,
                       QStringLiteral("holds the character \"%1\", which cannot be written to the report file. "
                                      "Replace or remove it.")
                           .arg(*character));
    if (text.contains(u'|'))
        return refused(field, QStringLiteral("holds a \"|\", which separates the fields of a report line. Remove it."));
    return {};
}

// A file name, never a path: each kind of image has its folder.
outcome::Done checkFileName(const QString &text, const Field &field)
{
    const std::optional<QString> part = appfiles::Subfolder::pathPart(text);
    if (!part)
        return {};
    if (*part == u"." || *part == u"..")
        return refused(field, QStringLiteral("holds \"%1\", which is not a file name.").arg(text));
    return refused(field, QStringLiteral("holds a \"%1\". Type the file name alone, without a folder.").arg(*part));
}

outcome::Done checkLength(const QString &stored, const Field &field)
{
    if (stored.size() > width(field))
        return refused(field,
                       QStringLiteral("holds %1 characters, but at most %2 can be stored. Shorten it.")
                           .arg(stored.size())
                           .arg(width(field)));
    return {};
}

outcome::Done checkLengthWithExtension(const QString &bare, const QString &ext, const Field &field)
{
    if (bare.size() + ext.size() > width(field))
        return refused(field,
                       QStringLiteral("holds %1 characters; with \"%2\" added the file name has %3, but at "
                                      "most %4 can be stored. Shorten it.")
                           .arg(bare.size())
                           .arg(ext)
                           .arg(bare.size() + ext.size())
                           .arg(width(field)));
    return {};
}

outcome::Done firstOf(std::initializer_list<outcome::Done> checks)
{
    for (const outcome::Done &check : checks) {
        if (!check)
            return check;
    }
    return {};
}

outcome::Done checkName(const QString &text)
{
    return firstOf({checkPresent(text, nameField), checkCharacters(text, nameField), checkReportText(text, nameField),
                    checkLength(text, nameField)});
}

outcome::Done checkChartdate(const QString &text)
{
    return firstOf({checkPresent(text, chartdateField), checkCharacters(text, chartdateField),
                    checkReportText(text, chartdateField), checkLength(text, chartdateField)});
}

outcome::Done checkConstell(const QString &text)
{
    return firstOf(
        {checkPresent(text, constellField), checkCharacters(text, constellField), checkLength(text, constellField)});
}
}

QString noFinderChart()
{
    return QStringLiteral("none");
}

QString constellationOf(const QString &name)
{
    return name.right(3);
}

QString extension(FileType type)
{
    switch (type) {
    case FileType::Png: return QStringLiteral(".png");
    case FileType::Gif: return QStringLiteral(".gif");
    case FileType::Jpg: break;
    }
    return QStringLiteral(".jpg");
}

std::optional<FileType> fileTypeOf(const QString &picturefile)
{
    if (picturefile.isEmpty())
        return std::nullopt;
    const QString last = picturefile.right(3);
    if (last == u"png")
        return FileType::Png;
    if (last == u"gif")
        return FileType::Gif;
    return FileType::Jpg;
}

bool isTicked(const QString &nightly)
{
    return nightly == u"yes";
}

QString nightlyText(bool ticked)
{
    return ticked ? QStringLiteral("yes") : QStringLiteral("no");
}

ChartRow newRecordRow(const ChartFields &fields)
{
    const QString ext = fields.fileType ? extension(*fields.fileType) : QString();
    return {fields.name,
            fields.chartdate,
            nightlyText(fields.nightly),
            fields.chartpic + ext,
            fields.finderpic.isEmpty() ? noFinderChart() : fields.finderpic + ext,
            fields.constell};
}

ChartRow editedRow(const ChartFields &fields)
{
    return {fields.name,     fields.chartdate, nightlyText(fields.nightly),
            fields.chartpic, fields.finderpic, fields.constell};
}

ChartFields fieldsOf(const ChartRow &row)
{
    return {row.starname,    row.chart,    isTicked(row.nightly),      row.picturefile,
            row.finderchart, row.constell, fileTypeOf(row.picturefile)};
}

outcome::Done checkNewRecord(const ChartFields &fields)
{
    if (outcome::Done checked = firstOf({checkName(fields.name), checkChartdate(fields.chartdate)}); !checked)
        return checked;
    if (outcome::Done checked =
            firstOf({checkPresent(fields.chartpic, chartpicField), checkCharacters(fields.chartpic, chartpicField),
                     checkFileName(fields.chartpic, chartpicField)});
        !checked)
        return checked;
    if (!fields.fileType)
        return outcome::refused(
            QStringLiteral("Choose the file type of the chart under \"File Type:\": .png, .gif or .jpg. "
                           "Its extension is added to the file names of the chart and the finder chart."),
            QStringLiteral("Option1"));
    const QString ext = extension(*fields.fileType);
    if (outcome::Done checked = checkLengthWithExtension(fields.chartpic, ext, chartpicField); !checked)
        return checked;
    if (!fields.finderpic.isEmpty()) {
        if (outcome::Done checked = firstOf({checkCharacters(fields.finderpic, finderpicField),
                                             checkFileName(fields.finderpic, finderpicField),
                                             checkLengthWithExtension(fields.finderpic, ext, finderpicField)});
            !checked)
            return checked;
    }
    return checkConstell(fields.constell);
}

outcome::Done checkEditedRecord(const ChartFields &fields)
{
    return firstOf({checkName(fields.name), checkChartdate(fields.chartdate),
                    checkPresent(fields.chartpic, chartpicField), checkCharacters(fields.chartpic, chartpicField),
                    checkFileName(fields.chartpic, chartpicField), checkLength(fields.chartpic, chartpicField),
                    checkPresent(fields.finderpic, finderpicField), checkCharacters(fields.finderpic, finderpicField),
                    checkFileName(fields.finderpic, finderpicField), checkLength(fields.finderpic, finderpicField),
                    checkConstell(fields.constell)});
}

namespace
{
struct ImageFile
{
    bool finder;
    QString name;
    QString folder;
};

// A name that is no plain file name is absent too: the observation screen never opens it.
bool missingIn(const appfiles::Subfolder &folder, const QString &name)
{
    const std::optional<QString> path = folder.file(name);
    return !path || !QFileInfo(*path).isFile();
}

QList<ImageFile> absentFiles(const appfiles::Folder &appFolder, const ChartRow &row)
{
    QList<ImageFile> absent;
    if (!row.picturefile.isEmpty() && missingIn(appFolder.charts(), row.picturefile))
        absent.append({false, row.picturefile, appFolder.charts().path()});
    if (!row.finderchart.isEmpty() && row.finderchart != noFinderChart()
        && missingIn(appFolder.finderCharts(), row.finderchart))
        absent.append({true, row.finderchart, appFolder.finderCharts().path()});
    return absent;
}
}

QString missingFiles(const appfiles::Folder &appFolder, const ChartRow &row)
{
    QStringList notes;
    for (const ImageFile &file : absentFiles(appFolder, row))
        notes.append((file.finder ? QStringLiteral("The finder chart \"%1\" is not in the folder \"%2\" yet.")
                                  : QStringLiteral("The chart \"%1\" is not in the folder \"%2\" yet."))
                         .arg(file.name, file.folder));
    if (notes.isEmpty())
        return {};
    notes.append(QStringLiteral("The record is stored; copy the file there so that the observation screen can "
                                "show it."));
    return notes.join(u'\n');
}

QString missingFilesNote(const appfiles::Folder &appFolder, const ChartRow &row)
{
    QStringList notes;
    for (const ImageFile &file : absentFiles(appFolder, row))
        notes.append(QStringLiteral("\"%1\" is not in %2 yet").arg(file.name, QFileInfo(file.folder).fileName()));
    return notes.isEmpty() ? QString() : notes.join(QStringLiteral("; ")) + u'.';
}
}

} // namespace catalogue
