#pragma once

#include "componenthost.h"
#include "recording.h"

#include <QPalette>
#include <QWidget>

#include <memory>

class QEvent;

// The working window of a night's observing, red on black for dark-adapted
// eyes: choice of the star, the fields of one estimate, and the day's report.
class frmEntryscreen final : public QWidget
{
    Q_OBJECT

public:
    explicit frmEntryscreen(const QString &appFolder, QWidget *parent = nullptr);
    ~frmEntryscreen() override;

    QString appFolder() const;
    // The star last chosen in the list; empty until the first choice.
    QString selstar() const;
    // The day's report file, named when the screen opened.
    QString todaysfile() const;
    // Observations recorded since the screen opened.
    int totalobs() const;

    // Selects the whole text of the focused field, so that typing replaces it.
    void hilite();

    // What the observer has typed, as the recording reads it.
    modEntryscreen::ObservationTexts observation() const;
    // Shows the day's report file as it is on disk.
    void showreport();
    // Empties the estimate fields for the next star; date and time stay.
    void clearfields();
    void countobservation();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createNumberFields();
    void arrangeTabOrder();
    void load();
    void liststars();
    void starchosen();
    void estimateLeft();
    void magnitudeValidate(bool &cancel);
    void magnitudeLeft();

    QString fieldText(const char *name) const;

    QString m_appFolder;
    QString m_selstar;
    QString m_todaysfile;
    int m_totalobs = 0;

    std::unique_ptr<ComponentHost> m_host;
    QList<QWidget *> m_numberFields;
    QList<QObject *> m_hiliteOnEntry;
    QPalette m_toolTipPalette;
};
