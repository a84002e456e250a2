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
constexpr int rowHeight = 420;
constexpr int rowStep = 480;
}

QLineEdit *frmSite::makeField(const char *name, const QString &label, const QString &tip, int top)
{
    auto *field = new QLineEdit(this);
    field->setObjectName(QLatin1String(name));
    field->setToolTip(tip);
    screenkit::ui::place(field, fieldLeft, top, fieldWidth, rowHeight);
    auto *caption = new QLabel(label, this);
    caption->setBuddy(field);
    screenkit::ui::place(caption, labelLeft, top, fieldLeft - labelLeft - 120, rowHeight);
    return field;
}

frmSite::frmSite(const QString &appFolder, QWidget *parent)
    : QDialog(parent)
    , m_appFolder(appFolder)
{
    setObjectName(QStringLiteral("frmSite"));
    setWindowTitle(QStringLiteral("Observing site"));
    setFont(screenkit::ui::dialogFont());
    int top = 120;
    const auto next = [&top] { return std::exchange(top, top + rowStep); };
    m_txtLatitude = makeField("txtLatitude", QStringLiteral("&Latitude:"),
                              QStringLiteral("North positive: 52.52, 52 31 12 N or -33 52 S"), next());
    m_txtLongitude = makeField("txtLongitude", QStringLiteral("L&ongitude:"),
                               QStringLiteral("East positive: 13.40, 13 24 E or 118 15 W"), next());
    m_txtHeight =
        makeField("txtHeight", QStringLiteral("H&eight (m):"), QStringLiteral("Metres above sea level"), next());
    m_txtLowestAltitude = makeField("txtLowestAltitude", QStringLiteral("Lowest &altitude (°):"),
                                    QStringLiteral("The lowest altitude you can see over trees and roofs"), next());
    m_txtDarkSunAltitude = makeField("txtDarkSunAltitude", QStringLiteral("&Dark below (°):"),
                                     QStringLiteral("Dark when the Sun's centre is below this: -12 or -18"), next());
    m_txtTimezone = makeField("txtTimezone", QStringLiteral("&Time zone:"),
                              QStringLiteral("An IANA name such as Europe/Berlin; empty for the computer's"), next());

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    screenkit::ui::place(ok, fieldLeft, top + 120, 1215, 375);
    connect(ok, &QPushButton::clicked, this, &frmSite::accept);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    screenkit::ui::place(cancel, fieldLeft + fieldWidth - 1215, top + 120, 1215, 375);
    connect(cancel, &QPushButton::clicked, this, &frmSite::reject);
    screenkit::ui::setClientSize(this, fieldLeft + fieldWidth + 120, top + 615);
}

bool frmSite::edit(const QString &appFolder, QWidget *parent)
{
    frmSite dialog(appFolder, parent);
    dialog.load();
    return dialog.exec() == QDialog::Accepted;
}

void frmSite::load()
{
    const outcome::Result<Site> stored = readSite(appfiles::Folder(m_appFolder).site());
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
    if (const outcome::Done written = writeSite(appfiles::Folder(m_appFolder).site(), *site); !written) {
        screenkit::showProblem(written.problem(), tonight::lc(), QStringLiteral("Site not saved"));
        return;
    }
    QDialog::accept();
}
}

// With the source, so that no unit of the moc output parses QCustomPlot's header once more.
#include "moc_frmsite.cpp"
