// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/frmcorrectobs.h"

#include "catalogue/logging.h"
#include "screenkit/problembox.h"
#include "screenkit/ui.h"
#include "store/schema.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace catalogue
{

namespace
{
constexpr int labelLeft = 120;
constexpr int labelWidth = 1695;
constexpr int fieldLeft = labelLeft + labelWidth + 120;
constexpr int fieldWidth = 4815;
constexpr int rowHeight = 375;

constexpr int rowTop(int row)
{
    return 120 + row * (rowHeight + 120);
}

constexpr int rowsEnd = rowTop(7);
}

using screenkit::into;
using screenkit::widget;

// Each field and its caption, whose access key focuses it; named for its column.
const screenkit::Control frmCorrectobs::controls[] = {
    {.name = "star", .kind = into<&frmCorrectobs::m_txtStar>, .at = {fieldLeft, rowTop(0), fieldWidth, rowHeight}},
    {.kind = widget<QLabel>, .at = {labelLeft, rowTop(0), labelWidth, rowHeight}, .text = "&Star:", .buddy = "star"},
    {.name = "obsdate",
     .kind = into<&frmCorrectobs::m_txtObsdate>,
     .at = {fieldLeft, rowTop(1), fieldWidth, rowHeight},
     .tip = "The Julian Date, in Universal Time, as the report writes it"},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(1), labelWidth, rowHeight},
     .text = "&Date (JD):",
     .buddy = "obsdate"},
    {.name = "magnitude",
     .kind = into<&frmCorrectobs::m_txtMagnitude>,
     .at = {fieldLeft, rowTop(2), fieldWidth, rowHeight}},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(2), labelWidth, rowHeight},
     .text = "&Magnitude:",
     .buddy = "magnitude"},
    {.name = "estimate",
     .kind = into<&frmCorrectobs::m_txtEstimate>,
     .at = {fieldLeft, rowTop(3), fieldWidth, rowHeight}},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(3), labelWidth, rowHeight},
     .text = "&Estimate:",
     .buddy = "estimate"},
    {.name = "obscode",
     .kind = into<&frmCorrectobs::m_txtObscode>,
     .at = {fieldLeft, rowTop(4), fieldWidth, rowHeight},
     .tip = "The comment code's letters, or na"},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(4), labelWidth, rowHeight},
     .text = "&Comment code:",
     .buddy = "obscode"},
    {.name = "notes", .kind = into<&frmCorrectobs::m_txtNotes>, .at = {fieldLeft, rowTop(5), fieldWidth, rowHeight}},
    {.kind = widget<QLabel>, .at = {labelLeft, rowTop(5), labelWidth, rowHeight}, .text = "&Notes:", .buddy = "notes"},
    {.name = "chart", .kind = into<&frmCorrectobs::m_txtChart>, .at = {fieldLeft, rowTop(6), fieldWidth, rowHeight}},
    {.kind = widget<QLabel>, .at = {labelLeft, rowTop(6), labelWidth, rowHeight}, .text = "C&hart:", .buddy = "chart"},
    {.name = "cmdOk", .kind = into<&frmCorrectobs::m_cmdOk>, .at = {fieldLeft, rowsEnd + 120, 1215, 375}, .text = "OK"},
    {.name = "cmdCancel",
     .kind = into<&frmCorrectobs::m_cmdCancel>,
     .at = {fieldLeft + fieldWidth - 1215, rowsEnd + 120, 1215, 375},
     .text = "Cancel"},
};

frmCorrectobs::frmCorrectobs(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCorrectobs"));
    setWindowTitle(QStringLiteral("Correct an observation"));
    screenkit::build(*this, controls);
    const store::Table &table = store::cumobs();
    for (QLineEdit *field :
         {m_txtStar, m_txtObsdate, m_txtMagnitude, m_txtEstimate, m_txtObscode, m_txtNotes, m_txtChart})
        field->setMaxLength(table.length(QLatin1StringView(field->objectName().toLatin1())));
    m_cmdOk->setDefault(true);
    connect(m_cmdOk, &QPushButton::clicked, this, &frmCorrectobs::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmCorrectobs::reject);
    screenkit::ui::setClientSize(this, fieldLeft + fieldWidth + 120, rowsEnd + 615);
}

std::optional<store::ObservationRow>
frmCorrectobs::correct(const store::ObservationRow &row,
                       const std::function<outcome::Done(const store::ObservationRow &)> &check, QWidget *parent)
{
    frmCorrectobs dialog(parent);
    dialog.setRow(row);
    // Refused values keep the dialog open, the field to mend focused.
    while (dialog.exec() == QDialog::Accepted) {
        const outcome::Done checked = check(dialog.row());
        if (checked)
            return dialog.row();
        screenkit::showProblem(outcome::Problem(checked.problem()).as(outcome::Severity::Warning), catalogue::lc(),
                               QStringLiteral("Correct an observation"));
        if (auto *field = dialog.findChild<QLineEdit *>(checked.problem().field))
            field->setFocus(Qt::OtherFocusReason);
    }
    return std::nullopt;
}

void frmCorrectobs::setRow(const store::ObservationRow &row)
{
    m_txtStar->setText(row.star);
    m_txtObsdate->setText(row.obsdate);
    m_txtMagnitude->setText(row.magnitude);
    m_txtEstimate->setText(row.estimate);
    m_txtObscode->setText(row.obscode);
    m_txtNotes->setText(row.notes);
    m_txtChart->setText(row.chart);
}

store::ObservationRow frmCorrectobs::row() const
{
    return {m_txtStar->text(),    m_txtMagnitude->text(), m_txtEstimate->text(), m_txtObsdate->text(),
            m_txtObscode->text(), m_txtNotes->text(),     m_txtChart->text()};
}

} // namespace catalogue

#include "moc_frmcorrectobs.cpp"
