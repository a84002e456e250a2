// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/frmposition.h"

#include "screenkit/problembox.h"
#include "screenkit/ui.h"
#include "store/database.h"
#include "tonight/angles.h"
#include "tonight/logging.h"
#include "tonight/planinput.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tonight
{
namespace
{
constexpr int entryLeft = 2160;
constexpr int entryWidth = 2640;
constexpr int entryCaptionWidth = entryLeft - 240;
}

using screenkit::into;
using screenkit::widget;

// Each field and then its caption, whose access key focuses it.
const screenkit::Control frmPosition::controls[] = {
    {.name = "txtStar",
     .kind = into<&frmPosition::m_txtStar>,
     .at = {entryLeft, 120, entryWidth, 420},
     .tip = "A star of your chart catalogue"},
    {.kind = widget<QLabel>, .at = {120, 120, entryCaptionWidth, 420}, .text = "&Star:", .buddy = "txtStar"},
    {.name = "txtRa",
     .kind = into<&frmPosition::m_txtRa>,
     .at = {entryLeft, 600, entryWidth, 420},
     .tip = "Hours, minutes, seconds (20 24 03.8 or 20:24:03.8) or degrees"},
    {.kind = widget<QLabel>, .at = {120, 600, entryCaptionWidth, 420}, .text = "&RA (J2000):", .buddy = "txtRa"},
    {.name = "txtDec",
     .kind = into<&frmPosition::m_txtDec>,
     .at = {entryLeft, 1080, entryWidth, 420},
     .tip = "Degrees, minutes, seconds (+33 52 02 or -00:30:00) or degrees"},
    {.kind = widget<QLabel>, .at = {120, 1080, entryCaptionWidth, 420}, .text = "&Dec (J2000):", .buddy = "txtDec"},
    {.name = "cmdOk", .kind = into<&frmPosition::m_cmdOk>, .at = {entryLeft, 1680, 1215, 375}, .text = "OK"},
    {.name = "cmdCancel",
     .kind = into<&frmPosition::m_cmdCancel>,
     .at = {entryLeft + entryWidth - 1215, 1680, 1215, 375},
     .text = "Cancel"},
};

frmPosition::frmPosition(const appfiles::Folder &appFolder, const QString &star, QWidget *parent)
    : QDialog(parent)
    , m_appFolder(appFolder)
    , m_star(star)
{
    setObjectName(QStringLiteral("frmPosition"));
    setWindowTitle(QStringLiteral("Position of a star"));
    screenkit::build(*this, controls);
    m_txtStar->setText(star);
    m_cmdOk->setDefault(true);
    connect(m_cmdOk, &QPushButton::clicked, this, &frmPosition::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmPosition::reject);
    screenkit::ui::setClientSize(this, entryLeft + entryWidth + 120, 2175);
    (star.isEmpty() ? m_txtStar : m_txtRa)->setFocus();
}

bool frmPosition::edit(const appfiles::Folder &appFolder, const QString &star, QWidget *parent)
{
    frmPosition dialog(appFolder, star, parent);
    return dialog.exec() == QDialog::Accepted;
}

void frmPosition::accept()
{
    const QString title = QStringLiteral("Position not saved");
    const auto refuse = [&](const outcome::Problem &problem, QLineEdit *field) {
        screenkit::showProblem(problem, tonight::lc(), title);
        field->setFocus(Qt::OtherFocusReason);
    };
    const QString star = m_txtStar->text().simplified();
    if (star.isEmpty())
        return refuse(outcome::refused(QStringLiteral("Type the name of the star, as your chart catalogue has it."),
                                       QStringLiteral("txtStar")),
                      m_txtStar);
    const outcome::Result<double> ra = parseRightAscension(m_txtRa->text());
    if (!ra)
        return refuse(ra.problem(), m_txtRa);
    const outcome::Result<double> dec = parseDeclination(m_txtDec->text());
    if (!dec)
        return refuse(dec.problem(), m_txtDec);
    store::Database db(m_appFolder);
    if (const outcome::Done saved = savePosition(db, star, Position{*ra, *dec}); !saved)
        return refuse(saved.problem(), m_txtStar);
    QDialog::accept();
}
}

// With the source, so that no unit of the moc output parses QCustomPlot's header once more.
#include "moc_frmposition.cpp"
