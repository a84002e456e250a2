// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "import/places.h"
#include "screenkit/controls.h"
#include "screenkit/form.h"
#include "store/imports.h"

#include <QElapsedTimer>
#include <QList>

#include <memory>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListView;
class QListWidget;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace import
{

namespace modImportscreen
{
class Import;
}

// Finds the observer's downloaded observations on disk and appends them to
// cumobs: a first click on a file keeps it, the next click imports it. Lists
// the imports the database remembers, any of which can be undone.
class frmConvert final : public screenkit::Form
{
    Q_OBJECT

public:
    explicit frmConvert(const appfiles::Folder &appFolder, QWidget *parent = nullptr);
    ~frmConvert() override;

protected:
    // The volumes and the folders are listed when the screen is first shown.
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void listPlaces();
    void showPlace(qsizetype place, const QString &folder);
    void driveChosen(int index);
    void folderChosen(const QModelIndex &index);
    void fileClicked(const QModelIndex &index);
    void startImport();
    void proceed();
    void askAboutDuplicates();
    void finishImport();
    void cancelImport();
    void listImports();
    void importChosen();
    void undoChosen();

    appfiles::Folder m_appFolder;
    bool m_listed = false;
    QList<places::Place> m_places;
    int m_shownPlace = -1;
    // The file the first click chose, imported by every later click.
    QString m_keptFile;

    static const screenkit::Control controls[];
    QComboBox *m_drive1;
    QTreeView *m_dir1;
    QListView *m_file1;
    QLabel *m_label1;
    QPushButton *m_cmdHelp;
    QLabel *m_label2;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    QLabel *m_lblImports;
    QListWidget *m_lstImports;
    QPushButton *m_cmdUndo;
    QFileSystemModel *m_folders;
    QFileSystemModel *m_files;

    // As listed, newest first.
    QList<store::PastImport> m_pastImports;
    std::unique_ptr<modImportscreen::Import> m_import;
    QElapsedTimer m_importTime;
    QTimer *m_pump;
};

} // namespace import
