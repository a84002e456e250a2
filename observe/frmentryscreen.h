// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "form.h"
#include "nightmode.h"
#include "recording.h"

#include <memory>

class QCheckBox;
class QEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace hostkit
{
class ComponentHost;
}

// The working window of a night's observing, red on black for dark-adapted
// eyes: choice of the star, the fields of one estimate, and the day's report.
class frmEntryscreen final : public screenkit::Form
{
    Q_OBJECT

public:
    explicit frmEntryscreen(const QString &appFolder, QWidget *parent = nullptr);
    ~frmEntryscreen() override;

    // The star last chosen in the list; empty until the first choice.
    QString selstar() const;
    // The day's report file, named when the screen opened.
    QString todaysfile() const;
    // Observations recorded since the screen opened.
    int totalobs() const;

    // Selects the whole text of the focused field, so that typing replaces it.
    void hilite();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    template<typename W>
    W *make(QWidget *parent, const char *name, int left, int top, int width, int height);
    QLabel *makeLabel(const char *name, const QString &text, int left, int top, int width, int height,
                      Sizing sizing = Sizing::Fixed);
    QPushButton *makeButton(const char *name, const QString &text, const QString &tip, int left, int top, int width,
                            int height);
    QLineEdit *makeField(const char *name, int left, int top, int width, int height);
    void createControls();
    void createNumberFields();
    void arrangeTabOrder();
    void load();
    void liststars();
    void starchosen();
    void estimateLeft();
    void magnitudeValidate(bool &cancel);
    void magnitudeLeft();
    void enter();

    // What the observer has typed, as the recording reads it.
    modEntryscreen::ObservationTexts observation() const;
    // Without a header no report can begin: brings the header editor forward.
    void offerHeaderEditor();
    // Shows the day's report file as it is on disk.
    void showreport();
    // Empties the estimate fields for the next star; date and time stay.
    void clearfields();
    void countobservation();

    QString m_appFolder;
    QString m_selstar;
    QString m_todaysfile;
    int m_totalobs = 0;

    // Every window is red on black while this screen is open.
    screenkit::night::Hold m_night;
    std::unique_ptr<hostkit::ComponentHost> m_host;
    // Set when a recording emptied the estimate, until the observer edits it.
    bool m_estimateEmptiedByRecording = false;
    bool m_offerEditorWhenActive = false;
    QList<QObject *> m_hiliteOnEntry;

    QPushButton *m_cmdFinder = nullptr;
    QTableWidget *m_MSFlexGrid1 = nullptr;
    QListWidget *m_ddStars = nullptr;
    QPushButton *m_cmdChart = nullptr;
    QLineEdit *m_txtStar = nullptr;
    // The five date and time fields: nbYear, nbMonth, nbDay, nbHour, nbMinute.
    QList<QWidget *> m_dateFields;
    QLineEdit *m_txtEstimate = nullptr;
    QCheckBox *m_chkFainterthan = nullptr;
    QLineEdit *m_txtMagn = nullptr;
    QLineEdit *m_nbComp1 = nullptr;
    QLineEdit *m_nbComp2 = nullptr;
    QLineEdit *m_txtChartid = nullptr;
    QListWidget *m_ddCommentcodes = nullptr;
    QPushButton *m_cmdClearcode = nullptr;
    QLineEdit *m_txtNotes = nullptr;
    QLabel *m_lblPrevious = nullptr;
    QPlainTextEdit *m_rtbObs = nullptr;
    QPushButton *m_cmdEnter = nullptr;
    QLabel *m_lblObs = nullptr;
    QPushButton *m_cmdHelp = nullptr;
    QPushButton *m_cmdDBform = nullptr;
    QPushButton *m_cmdLightcurve = nullptr;
    QLabel *m_Picture1 = nullptr;
    QLabel *m_Picture2 = nullptr;
    QLabel *m_Picture3 = nullptr;
};
