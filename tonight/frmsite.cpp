// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/frmsite.h"

#include "appfiles/folder.h"
#include "screenkit/problembox.h"
#include "screenkit/ui.h"
#include "tonight/logging.h"
#include "tonight/site.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tonight
{
namespace
{
constexpr int labelLeft = 120;
constexpr int fieldLeft = 2760;
constexpr int fieldWidth = 2640;
constexpr int labelWidth = fieldLeft - labelLeft - 120;
constexpr int rowHeight = 420;
constexpr int rowStep = 480;

constexpr int rowTop(int row)
{
    return 120 + row * rowStep;
}

// Below the six rows.
constexpr int rowsEnd = rowTop(6);
}

using screenkit::into;
using screenkit::widget;

// Each field and then its caption, whose access key focuses it.
const screenkit::Control frmSite::controls[] = {
    {.name = "txtLatitude",
     .kind = into<&frmSite::m_txtLatitude>,
     .at = {fieldLeft, rowTop(0), fieldWidth, rowHeight},
     .tip = "North positive: 52.52, 52 31 12 N or -33 52 S"},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(0), labelWidth, rowHeight},
     .text = "&Latitude:",
     .buddy = "txtLatitude"},
    {.name = "txtLongitude",
     .kind = into<&frmSite::m_txtLongitude>,
     .at = {fieldLeft, rowTop(1), fieldWidth, rowHeight},
     .tip = "East positive: 13.40, 13 24 E or 118 15 W"},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(1), labelWidth, rowHeight},
     .text = "L&ongitude:",
     .buddy = "txtLongitude"},
    {.name = "txtHeight",
     .kind = into<&frmSite::m_txtHeight>,
     .at = {fieldLeft, rowTop(2), fieldWidth, rowHeight},
     .tip = "Metres above sea level"},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(2), labelWidth, rowHeight},
     .text = "H&eight (m):",
     .buddy = "txtHeight"},
    {.name = "txtLowestAltitude",
     .kind = into<&frmSite::m_txtLowestAltitude>,
     .at = {fieldLeft, rowTop(3), fieldWidth, rowHeight},
     .tip = "The lowest altitude you can see over trees and roofs"},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(3), labelWidth, rowHeight},
     .text = "Lowest &altitude (°):",
     .buddy = "txtLowestAltitude"},
    {.name = "txtDarkSunAltitude",
     .kind = into<&frmSite::m_txtDarkSunAltitude>,
     .at = {fieldLeft, rowTop(4), fieldWidth, rowHeight},
     .tip = "Dark when the Sun's centre is below this: -12 or -18"},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(4), labelWidth, rowHeight},
     .text = "&Dark below (°):",
     .buddy = "txtDarkSunAltitude"},
    {.name = "txtTimezone",
     .kind = into<&frmSite::m_txtTimezone>,
     .at = {fieldLeft, rowTop(5), fieldWidth, rowHeight},
     .tip = "An IANA name such as Europe/Berlin; empty for the computer's"},
    {.kind = widget<QLabel>,
     .at = {labelLeft, rowTop(5), labelWidth, rowHeight},
     .text = "&Time zone:",
     .buddy = "txtTimezone"},
    {.name = "cmdOk", .kind = into<&frmSite::m_cmdOk>, .at = {fieldLeft, rowsEnd + 120, 1215, 375}, .text = "OK"},
    {.name = "cmdCancel",
     .kind = into<&frmSite::m_cmdCancel>,
     .at = {fieldLeft + fieldWidth - 1215, rowsEnd + 120, 1215, 375},
     .text = "Cancel"},
};

frmSite::frmSite(const appfiles::Folder &appFolder, QWidget *parent)
    : QDialog(parent)
    , m_appFolder(appFolder)
{
    setObjectName(QStringLiteral("frmSite"));
    setWindowTitle(QStringLiteral("Observing site"));
    screenkit::build(*this, controls);
    m_cmdOk->setDefault(true);
    connect(m_cmdOk, &QPushButton::clicked, this, &frmSite::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmSite::reject);
    screenkit::ui::setClientSize(this, fieldLeft + fieldWidth + 120, rowsEnd + 615);
}

bool frmSite::edit(const appfiles::Folder &appFolder, QWidget *parent)
{
    frmSite dialog(appFolder, parent);
    dialog.load();
    return dialog.exec() == QDialog::Accepted;
}

void frmSite::load()
{
    const outcome::Result<Site> stored = readSite(m_appFolder.site());
    if (!stored && stored.problem().kind != outcome::Kind::NotFound)
        screenkit::showProblem(stored.problem(), tonight::lc(), QStringLiteral("Observing site"));
    const SiteText text = siteText(stored.valueOr(Site{}));
    // A new observer has no place yet: the fields wait for it.
    m_txtLatitude->setText(stored ? text.latitude : QString());
    m_txtLongitude->setText(stored ? text.longitude : QString());
    m_txtHeight->setText(text.height);
    m_txtLowestAltitude->setText(text.lowestAltitude);
    m_txtDarkSunAltitude->setText(text.darkSunAltitude);
    m_txtTimezone->setText(text.timezone);
}

void frmSite::accept()
{
    const SiteText text{m_txtLatitude->text(),       m_txtLongitude->text(),       m_txtHeight->text(),
                        m_txtLowestAltitude->text(), m_txtDarkSunAltitude->text(), m_txtTimezone->text()};
    const outcome::Result<Site> site = siteFromText(text);
    if (!site) {
        screenkit::showProblem(site.problem(), tonight::lc(), QStringLiteral("Observing site"));
        if (auto *field = findChild<QLineEdit *>(site.problem().field))
            field->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (const outcome::Done written = writeSite(m_appFolder.site(), *site); !written) {
        screenkit::showProblem(written.problem(), tonight::lc(), QStringLiteral("Site not saved"));
        return;
    }
    QDialog::accept();
}
}

// With the source, so that no unit of the moc output parses QCustomPlot's header once more.
#include "moc_frmsite.cpp"
