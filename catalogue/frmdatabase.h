// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "catalogue/moddbscreen.h"
#include "screenkit/controls.h"
#include "screenkit/form.h"

#include <QPointer>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableView;

namespace catalogue
{

class ChartReportPreview;

// The observer's catalogue of charts and all the observations so far: the
// two lists, the star search, the record of one chart to add, edit, save or
// delete, the lookup of one star's observations and the printed chart list.
class frmDatabase final : public screenkit::Form
{
    Q_OBJECT

public:
    explicit frmDatabase(const appfiles::Folder &appFolder, QWidget *parent = nullptr);
    ~frmDatabase() override;

    // Called once, before the screen is first shown: fills both lists and
    // their headings from the database.
    void load();

    // The star name of the last observation lookup.
    QString obstofind() const;

private:
    void wireRecord();
    void wireLists();
    void wireLookup();

    void loadlists();
    void countcharts();
    void countobs();
    void searchstar(const QString &name);
    void showallcharts();
    void clearfields();
    void nameLeft();
    void checkduplicate(const QString &name);
    void editRecord();
    void loadforedit(const QString &name);
    void savechanges(const QString &name);
    void addchart();
    // After the reminder in the status bar: the stored record's files not in their folders yet.
    void remindOfMissingFiles(const moddbscreen::ChartRow &row);
    void deletechart(const QString &name);
    void findobs(const QString &name);
    void resetobs();
    void invertobs();
    // The observation chosen in the list corrected in a small form, or
    // withdrawn after a question; the last change taken back.
    void changeChosen(bool withdraw);
    void undoLast();
    void readSequence();
    // Tells what was done, then shows the lists and counts as they are now.
    void afterChange(const outcome::Result<QString> &done, const QString &title);
    void viewReport();

    moddbscreen::ChartFields fields() const;
    void selectFileType(std::optional<moddbscreen::FileType> type);
    // Runs a list's query, telling the observer when the database fails.
    bool runList(catalogue::DataSource *source, const catalogue::ListQuery &query);
    // The observation list's heading keeps its right edge as its text grows.
    void placeObservationsHeading();

    appfiles::Folder m_appFolder;
    QString m_obstofind;
    // The star Edit record loaded, while its record is in the fields.
    std::optional<QString> m_edited;

    catalogue::DataSource *m_Data1;
    catalogue::DataSource *m_Data2;

    static const screenkit::Control controls[];
    QPushButton *m_cmdSearchstar;
    QLineEdit *m_txtsearch;
    QPushButton *m_cmdEdit;
    QPushButton *m_cmdUpdate;
    QPushButton *m_Command2;
    QPushButton *m_cmdDelete;
    QLineEdit *m_txtName;
    QLineEdit *m_txtChartdate;
    QPushButton *m_cmdNew;
    QCheckBox *m_chkNightly;
    QGroupBox *m_Frame1;
    QRadioButton *m_Option1;
    QRadioButton *m_Option2;
    QRadioButton *m_Option3;
    QButtonGroup *m_fileTypes = nullptr;
    QLineEdit *m_txtChartpic;
    QPushButton *m_cmdShowall;
    QLineEdit *m_txtFinderpic;
    QCheckBox *m_chkSuppress;
    QLineEdit *m_txtConstell;
    QLabel *m_Label1;
    QLabel *m_Label2;
    QTableView *m_Grid1;
    QTableView *m_MSFlexGrid1;
    QPushButton *m_cmdChartsreport;
    QLineEdit *m_txtfindme;
    QPushButton *m_cmdFindobs;
    QPushButton *m_cmdReset;
    QPushButton *m_cmdInvert;
    QPushButton *m_Command1;
    QPushButton *m_cmdLightcurve;
    QPushButton *m_cmdCorrectobs;
    QPushButton *m_cmdWithdrawobs;
    QPushButton *m_cmdUndo;
    QPushButton *m_cmdReadsequence;
    QLabel *m_howmanyobsofstar;
    QStatusBar *m_sbr1;
    QPointer<ChartReportPreview> m_report;
};

} // namespace catalogue
