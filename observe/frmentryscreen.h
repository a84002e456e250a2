// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/filesystem.h"
#include "appfiles/folder.h"
#include "observe/chartviewer.h"
#include "observe/modentryscreen.h"
#include "screenkit/controls.h"
#include "screenkit/form.h"
#include "screenkit/nightmode.h"

#include <memory>

class QCloseEvent;
class QEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMouseEvent;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace hostkit
{
class ComponentHost;
}

namespace screenkit
{
class LargeCheckBox;
}

namespace observe
{

class PictureBox;

// The working window of a night's observing, red on black for dark-adapted
// eyes: choice of the star, the fields of one estimate, and the day's report.
class frmEntryscreen final : public screenkit::Form
{
    Q_OBJECT

public:
    // The clock stamps the date and time fields when a chart is shown.
    explicit frmEntryscreen(const appfiles::Folder &appFolder,
                            modEntryscreen::Clock clock = modEntryscreen::systemClock, QWidget *parent = nullptr);
    ~frmEntryscreen() override;

    // Called once, before the screen is first shown: creates the date and time
    // fields from the control library, begins the day's report and shows it,
    // and names its lines left without their observation.
    void load();

    // The star last chosen in the list; empty until the first choice.
    QString selstar() const;
    // The day's report file, named when the screen opened.
    QString todaysfile() const;
    // Observations recorded since the screen opened.
    int totalobs() const;

    // Selects the whole text of the focused field, so that typing replaces it.
    void hilite();

    // Turns the screen to the star, picked in its constellation's list, and
    // shows its chart as get Chart does; refused while an estimate typed is
    // not entered, which would be lost.
    void showstar(const QString &star);

signals:
    // The screen is closing: the day's report is complete for now.
    void sessionEnded(const QString &todaysfile);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void wireChoice();
    void wireEstimate();
    void wireNavigation();
    void wirePictures();
    void createNumberFields();
    void liststars();
    // Lists the constellation's stars and picks the star, as the observer would.
    void pickstar(const QString &constellation, const QString &star);
    void starchosen();
    void estimateLeft();
    void notationLeft();
    void magnitudeValidate(bool &cancel);
    void magnitudeLeft();
    void enter();
    // The line of the report at rtbObs's cursor, taken back into the fields
    // or withdrawn; below the last line, the last line.
    void correctLine();
    void withdrawLine();
    // Lines the opening named go alone: they have no row.
    void withdraw(const QStringList &lines, const std::optional<qint64> &row, bool unpaired);
    std::optional<QString> lineAtCursor() const;
    // Which of several rows matching the line is its observation, when they
    // differ: the observer answers. Nothing when they would not say; the
    // row (none when the line has none) else.
    std::optional<std::optional<store::NumberedRow>> chooseRow(const QString &line, const QString &title);
    void fillfields(const modEntryscreen::ObservationTexts &texts);
    // Escape, another star or a correction entered: the fields emptied.
    void endCorrection();
    QStringList dateFieldTexts() const;

    // What the observer has typed, as the recording reads it.
    modEntryscreen::ObservationTexts observation() const;
    // Without a header that can begin a report, none can begin: brings the
    // header editor forward.
    void offerHeaderEditor();
    // Shows what the day's report file has gained since last shown: lines of
    // other windows and programs too. All of it when it has become shorter.
    void showreport();
    // Names the report's lines that a crash left without their row.
    void nameUnpaired();
    // Shows why a recording failed; a refusal puts the focus into the field to correct.
    void showNotRecorded(const outcome::Problem &problem);
    // Empties the estimate fields for the next star; date and time stay.
    void clearfields();
    void countobservation();
    // The warnings of the observation just recorded; none hides the label.
    void showwarnings(const QStringList &warnings);

    // The chart of the star, the fields stamped and filled, the summary.
    void showchart(const QString &star);
    void stamp();
    // False when the summary could not be read from the database.
    bool showprevious(const QString &star, qint32 daynumber);
    // The finder chart of the star, over the chart.
    void showfinder(const QString &star);
    // The box shows the picture at the picture's own size; its top left stays.
    void showPicture(PictureBox *box, const modEntryscreen::NightPicture &picture);
    void moveBox(PictureBox *box, const QPoint &topLeft);
    // Dragging with the left button; another button on the finder hides it.
    bool pictureMouse(PictureBox *box, QPointF &grab, QMouseEvent *event);

    appfiles::Folder m_appFolder;
    modEntryscreen::Clock m_clock;
    QString m_selstar;
    QString m_todaysfile;
    // Bytes of the report file shown in rtbObs, and which file they are of.
    qint64 m_reportShown = 0;
    std::optional<appfiles::FileIdentity> m_reportIdentity;
    // The line being corrected, its row, and the date it was written with,
    // kept while the date and time fields still hold what it gave them.
    struct Correcting
    {
        QString line;
        std::optional<qint64> row;
        QString dateText;
        QStringList dateFields;
    };
    std::optional<Correcting> m_correcting;
    int m_totalobs = 0;

    // Every window is red on black while this screen is open.
    screenkit::night::Hold m_night;
    std::unique_ptr<hostkit::ComponentHost> m_host;
    // Set when a recording emptied the estimate, until the observer edits it.
    bool m_estimateEmptiedByRecording = false;
    bool m_offerEditorWhenActive = false;
    QList<QObject *> m_hiliteOnEntry;

    static const screenkit::Control controls[];
    QPushButton *m_cmdFinder;
    QTableWidget *m_MSFlexGrid1;
    QListWidget *m_ddStars;
    QPushButton *m_cmdChart;
    QLineEdit *m_txtStar;
    // The five date and time fields: nbYear, nbMonth, nbDay, nbHour, nbMinute.
    QList<QWidget *> m_dateFields;
    QLineEdit *m_txtEstimate;
    screenkit::LargeCheckBox *m_chkFainterthan;
    QLineEdit *m_txtMagn;
    QLineEdit *m_nbComp1;
    QLineEdit *m_nbComp2;
    QLineEdit *m_txtChartid;
    QListWidget *m_ddCommentcodes;
    QPushButton *m_cmdClearcode;
    QLineEdit *m_txtNotes;
    QLabel *m_lblPrevious;
    QPlainTextEdit *m_rtbObs;
    QPushButton *m_cmdEnter;
    QPushButton *m_cmdCorrect;
    QPushButton *m_cmdWithdraw;
    QLabel *m_lblCorrecting;
    QLabel *m_lblObs;
    QLabel *m_lblWarnings;
    QPushButton *m_cmdHelp;
    QPushButton *m_cmdDBform;
    QPushButton *m_cmdCheckreport;
    QPushButton *m_cmdLightcurve;
    QPushButton *m_cmdTonight;
    QLabel *m_Picture1;
    PictureBox *m_Picture2;
    PictureBox *m_Picture3;
    // Where the pointer holds each picture, in its own coordinates.
    QPointF m_grabPicture2;
    QPointF m_grabPicture3;
};

} // namespace observe
