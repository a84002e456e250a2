// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/frmconvert.h"

#include "backup/backups.h"
#include "hostkit/messageseam.h"
#include "import/logging.h"
#include "import/modimportscreen.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "screenkit/problembox.h"

#include <QAbstractFileIconProvider>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

namespace import
{

namespace
{
const QString textfile = QStringLiteral("textfile");
const QString database = QStringLiteral("database");
const char tag[] = "tag";

// Work done between two looks at the window's events.
constexpr int sliceMs = 50;
// An import that lasts longer shows its progress and can be cancelled.
constexpr qint64 progressAfterMs = 1000;
constexpr int progressSteps = 1000;

// Folders and files are listed by name alone, as the lists always were.
class NoIcons final : public QAbstractFileIconProvider
{
public:
    QIcon icon(IconType) const override { return {}; }
    QIcon icon(const QFileInfo &) const override { return {}; }
};

NoIcons *noIcons()
{
    static NoIcons provider;
    return &provider;
}
}

using screenkit::Disabled;
using screenkit::Hidden;
using screenkit::into;

const screenkit::Control frmConvert::controls[] = {
    {.name = "Drive1", .kind = into<&frmConvert::m_drive1>, .at = {6000, 600, 2175, 315}, .tab = 1},
    {.name = "Dir1", .kind = into<&frmConvert::m_dir1>, .at = {6000, 1200, 2175, 3915}, .tab = 2},
    {.name = "File1", .kind = into<&frmConvert::m_file1>, .at = {8760, 600, 2055, 4575}, .tab = 3},
    {.name = "Label1",
     .kind = into<&frmConvert::m_label1>,
     .at = {240, 840, 0, 0},
     .text = "Step 1: Click on your downloaded Obs file.",
     .sizing = Sizing::ToText,
     .font = {8.25, true}},
    {.name = "lblImports", .kind = into<&frmConvert::m_lblImports>, .at = {240, 1800, 0, 0}, .sizing = Sizing::ToText},
    {.name = "lstImports", .kind = into<&frmConvert::m_lstImports>, .at = {240, 2040, 5520, 2775}, .tab = 4},
    {.name = "cmdUndo",
     .kind = into<&frmConvert::m_cmdUndo>,
     .at = {240, 4935, 1815, 375},
     .text = "&Undo import",
     .tip = "Removes the observations the chosen import added, and nothing else",
     .tab = 5,
     .flags = Disabled},
    {.name = "cmdHelp", .kind = into<&frmConvert::m_cmdHelp>, .at = {360, 6240, 1095, 375}, .text = "&Help", .tab = 6},
    {.name = "Label2", .kind = into<&frmConvert::m_label2>, .at = {6000, 6240, 0, 0}, .sizing = Sizing::ToText},
    {.name = "prgImport", .kind = into<&frmConvert::m_progress>, .at = {240, 5640, 5520, 315}, .flags = Hidden},
    {.name = "cmdCancel",
     .kind = into<&frmConvert::m_cancel>,
     .at = {1680, 6240, 1095, 375},
     .text = "Cancel",
     .tab = 7,
     .flags = Hidden},
};

frmConvert::frmConvert(const appfiles::Folder &appFolder, QWidget *parent)
    : screenkit::Form(12420, 7050, parent)
    , m_appFolder(appFolder)
    , m_folders(new QFileSystemModel(this))
    , m_files(new QFileSystemModel(this))
    , m_pump(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Find and convert Observations"));
    screenkit::build(*this, controls);
    m_folders->setIconProvider(noIcons());
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dir1->setModel(m_folders);
    m_dir1->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        m_dir1->hideColumn(column);
    m_files->setIconProvider(noIcons());
    m_files->setFilter(QDir::Files);
    m_files->setNameFilters({QStringLiteral("*.txt")});
    m_files->setNameFilterDisables(false);
    m_file1->setModel(m_files);
    m_label1->setProperty(tag, textfile);
    m_progress->setRange(0, progressSteps);

    m_pump->setSingleShot(true);
    connect(m_pump, &QTimer::timeout, this, &frmConvert::proceed);
    connect(m_cancel, &QPushButton::clicked, this, &frmConvert::cancelImport);
    connect(m_cmdHelp, &QPushButton::clicked, this, [] { screenkit::help(screenkit::HelpCommand::HelpContext, 1003); });
    connect(m_file1, &QListView::clicked, this, &frmConvert::fileClicked);
    connect(m_dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmConvert::folderChosen);
    connect(m_lstImports, &QListWidget::currentRowChanged, this, &frmConvert::importChosen);
    connect(m_cmdUndo, &QPushButton::clicked, this, &frmConvert::undoChosen);
}

frmConvert::~frmConvert() = default;

void frmConvert::showEvent(QShowEvent *event)
{
    screenkit::Form::showEvent(event);
    if (!m_listed) {
        listPlaces();
        listImports();
    }
}

void frmConvert::listPlaces()
{
    m_listed = true;
    const QString home = QDir::homePath();
    m_places = places::mounted(home);
    for (const places::Place &p : std::as_const(m_places)) {
        m_drive1->addItem(p.name, p.path);
        m_drive1->setItemData(m_drive1->count() - 1, p.path, Qt::ToolTipRole);
    }
    const QString start = places::startFolder(home);
    showPlace(places::placeOf(m_places, start), start);
    connect(m_drive1, &QComboBox::currentIndexChanged, this, &frmConvert::driveChosen);
}

void frmConvert::showPlace(qsizetype place, const QString &folder)
{
    m_shownPlace = static_cast<int>(place);
    m_drive1->setCurrentIndex(m_shownPlace);
    const QString root = m_places.value(place).path;
    m_dir1->setRootIndex(m_folders->setRootPath(root));
    const QModelIndex current = m_folders->index(folder);
    m_dir1->setCurrentIndex(current);
    m_dir1->scrollTo(current);
    m_dir1->expand(current);
}

void frmConvert::driveChosen(int index)
{
    const QString path = m_drive1->itemData(index).toString();
    if (const outcome::Done ready = places::ready({m_drive1->itemText(index), path}); !ready) {
        // The lists stay as they were.
        const QSignalBlocker quiet(m_drive1);
        m_drive1->setCurrentIndex(m_shownPlace);
        screenkit::showProblem(ready.problem(), import::lc());
        return;
    }
    const QSignalBlocker quiet(m_drive1);
    showPlace(index, path);
}

void frmConvert::folderChosen(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    m_file1->setRootIndex(m_files->setRootPath(m_folders->filePath(index)));
}

void frmConvert::fileClicked(const QModelIndex &index)
{
    const QString state = m_label1->property(tag).toString();
    if (state == textfile) {
        m_keptFile = QDir(m_files->rootPath()).filePath(m_files->fileName(index));
        m_label1->setProperty(tag, database);
        m_label1->setText(QStringLiteral("Now click the file again to convert and send to the\r\n"
                                         "Starcharts database (This could take a while\r\n"
                                         "depending on the size of the file)"));
        QPalette red = m_label1->palette();
        red.setColor(QPalette::WindowText, QColor(255, 0, 0));
        screenkit::night::setDayPalette(m_label1, red);
        refit(m_label1);
        m_file1->setCurrentIndex(m_files->index(m_keptFile));
    } else if (state == database) {
        startImport();
    }
}

void frmConvert::startImport()
{
    // An import that goes wrong can be taken back from the copy; without one it goes ahead, told.
    if (const outcome::Done made = backup::beforeChange(m_appFolder, backup::Reason::Import); !made)
        screenkit::showProblem(made.problem(), import::lc());
    m_import = std::make_unique<modImportscreen::Import>(m_keptFile, m_appFolder);
    m_importTime.start();
    m_file1->setEnabled(false);
    m_cmdUndo->setEnabled(false);
    m_progress->setValue(0);
    proceed();
}

void frmConvert::proceed()
{
    m_import->work(QDeadlineTimer(sliceMs));
    if (m_import->size() > 0)
        m_progress->setValue(static_cast<int>(m_import->position() * progressSteps / m_import->size()));
    m_progress->setFormat(m_import->phase() == modImportscreen::Import::Phase::Adding
                              ? QStringLiteral("Adding observations: %p%")
                              : QStringLiteral("Checking the file: %p%"));
    if (m_progress->isHidden() && m_importTime.elapsed() > progressAfterMs) {
        m_progress->show();
        m_cancel->show();
    }
    switch (m_import->phase()) {
    case modImportscreen::Import::Phase::Asking: askAboutDuplicates(); break;
    case modImportscreen::Import::Phase::Done: finishImport(); break;
    default: m_pump->start(m_import->pause()); break;
    }
}

void frmConvert::askAboutDuplicates()
{
    const modImportscreen::Import *asked = m_import.get();
    const qint64 all = m_import->observations();
    const qint64 known = m_import->duplicates();
    const QString before = m_import->importedBefore();
    const auto answer = hostkit::ask(
        QStringLiteral("%1 of the %2 observations in this file are in your Observations database already.%4\n\n"
                       "Add only the new ones?\n\n"
                       "Yes: add only the %3 new observations.\n"
                       "No: add all %2, the %1 a second time as well.\n"
                       "Cancel: add nothing.")
            .arg(known)
            .arg(all)
            .arg(all - known)
            .arg(before.isEmpty() ? QString() : QLatin1Char(' ') + before),
        QStringLiteral("Observations already added"), QMessageBox::Question,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    // Closing or cancelling the screen meanwhile ended the import, and told.
    if (m_import.get() != asked)
        return;
    if (answer == QMessageBox::Yes || answer == QMessageBox::No) {
        m_import->choose(answer == QMessageBox::Yes ? modImportscreen::Duplicates::OnlyNew
                                                    : modImportscreen::Duplicates::All);
        m_pump->start(0);
    } else {
        m_import->cancel();
        finishImport();
    }
}

void frmConvert::cancelImport()
{
    if (!m_import)
        return;
    m_pump->stop();
    m_import->cancel();
    finishImport();
}

void frmConvert::finishImport()
{
    const outcome::Result<modImportscreen::Ended> ended = m_import->outcome();
    m_import.reset();
    m_progress->hide();
    m_cancel->hide();
    m_file1->setEnabled(true);
    listImports();
    if (!ended) {
        screenkit::showProblem(ended.problem(), import::lc());
        return;
    }
    if (ended->total >= 0) {
        m_label2->setText(modImportscreen::resultText(ended->added, ended->total));
        refit(m_label2);
    }
    if (ended->stop)
        screenkit::showProblem(*ended->stop, import::lc());
    else if (!ended->message.isEmpty())
        hostkit::ask(ended->message, ended->title, QMessageBox::Information);
}

void frmConvert::listImports()
{
    const auto past = modImportscreen::pastImports(m_appFolder);
    m_pastImports = past.valueOr({});
    m_lblImports->setText(past ? QStringLiteral("Past imports, newest first:") : past.problem().message);
    refit(m_lblImports);
    m_lstImports->clear();
    for (const store::PastImport &p : std::as_const(m_pastImports))
        m_lstImports->addItem(modImportscreen::importLine(p));
    importChosen();
}

void frmConvert::importChosen()
{
    const int row = m_lstImports->currentRow();
    m_cmdUndo->setEnabled(!m_import && row >= 0 && row < m_pastImports.size() && !m_pastImports.at(row).undone);
}

void frmConvert::undoChosen()
{
    const int row = m_lstImports->currentRow();
    if (m_import || row < 0 || row >= m_pastImports.size())
        return;
    const store::PastImport past = m_pastImports.at(row);
    if (hostkit::ask(modImportscreen::undoQuestion(past), QStringLiteral("Undo import"), QMessageBox::Question,
                     QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // Every undo after a copy, as every import.
    if (const outcome::Done made = backup::beforeChange(m_appFolder, backup::Reason::Undo); !made)
        screenkit::showProblem(made.problem(), import::lc());
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const outcome::Result<QString> undone = modImportscreen::undoImport(m_appFolder, past);
    QGuiApplication::restoreOverrideCursor();
    listImports();
    if (undone)
        hostkit::ask(*undone, QStringLiteral("Import undone"), QMessageBox::Information);
    else
        screenkit::showProblem(undone.problem(), import::lc());
}

void frmConvert::closeEvent(QCloseEvent *event)
{
    // What was added stays, the rest of the file is left, and the observer
    // learns from which line on.
    cancelImport();
    screenkit::Form::closeEvent(event);
}

} // namespace import
