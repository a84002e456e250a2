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

QLineEdit *makeEntry(QDialog *dialog, const char *name, const QString &label, const QString &tip, int top)
{
    auto *field = new QLineEdit(dialog);
    field->setObjectName(QLatin1String(name));
    field->setToolTip(tip);
    screenkit::ui::place(field, entryLeft, top, entryWidth, 420);
    auto *caption = new QLabel(label, dialog);
    caption->setBuddy(field);
    screenkit::ui::place(caption, 120, top, entryLeft - 240, 420);
    return field;
}
}

frmPosition::frmPosition(const QString &appFolder, const QString &star, QWidget *parent)
    : QDialog(parent)
    , m_appFolder(appFolder)
    , m_star(star)
{
    setObjectName(QStringLiteral("frmPosition"));
    setWindowTitle(QStringLiteral("Position of a star"));
    setFont(screenkit::ui::dialogFont());
    m_txtStar =
        makeEntry(this, "txtStar", QStringLiteral("&Star:"), QStringLiteral("A star of your chart catalogue"), 120);
    m_txtStar->setText(star);
    m_txtRa = makeEntry(this, "txtRa", QStringLiteral("&RA (J2000):"),
                        QStringLiteral("Hours, minutes, seconds (20 24 03.8 or 20:24:03.8) or degrees"), 600);
    m_txtDec = makeEntry(this, "txtDec", QStringLiteral("&Dec (J2000):"),
                         QStringLiteral("Degrees, minutes, seconds (+33 52 02 or -00:30:00) or degrees"), 1080);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    screenkit::ui::place(ok, entryLeft, 1680, 1215, 375);
    connect(ok, &QPushButton::clicked, this, &frmPosition::accept);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    screenkit::ui::place(cancel, entryLeft + entryWidth - 1215, 1680, 1215, 375);
    connect(cancel, &QPushButton::clicked, this, &frmPosition::reject);
    screenkit::ui::setClientSize(this, entryLeft + entryWidth + 120, 2175);
    (star.isEmpty() ? m_txtStar : m_txtRa)->setFocus();
}

bool frmPosition::edit(const QString &appFolder, const QString &star, QWidget *parent)
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
