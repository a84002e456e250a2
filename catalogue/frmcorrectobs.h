// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "screenkit/controls.h"
#include "store/observations.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;

namespace catalogue
{

// The seven columns of one past observation, to be corrected: the values
// typed, once the observer accepts them.
class frmCorrectobs final : public QDialog
{
    Q_OBJECT

public:
    explicit frmCorrectobs(QWidget *parent = nullptr);

    // Shows the row and lets the observer correct it; the new values, or
    // nothing when the observer cancelled. check refuses values before the
    // dialog closes, its problem's field naming the column.
    static std::optional<store::ObservationRow>
    correct(const store::ObservationRow &row, const std::function<outcome::Done(const store::ObservationRow &)> &check,
            QWidget *parent);

    void setRow(const store::ObservationRow &row);
    store::ObservationRow row() const;

private:
    static const screenkit::Control controls[];
    QLineEdit *m_txtStar;
    QLineEdit *m_txtObsdate;
    QLineEdit *m_txtMagnitude;
    QLineEdit *m_txtEstimate;
    QLineEdit *m_txtObscode;
    QLineEdit *m_txtNotes;
    QLineEdit *m_txtChart;
    QPushButton *m_cmdOk;
    QPushButton *m_cmdCancel;
};

} // namespace catalogue
