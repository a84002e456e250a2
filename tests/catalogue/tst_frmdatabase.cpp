// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/screenregistry.h"
#include "catalogue/frmdatabase.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "store/creation.h"
#include "store/database.h"
#include "tests/catalogue/cataloguedata.h"
#include "tests/support/appfolder.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/sqlfile.h"
#include "tests/support/testkit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>

using cataloguedata::Observation;

namespace
{
const QString reminder = QStringLiteral(" Make sure you now add the chart for this star in the starcharts folder");

// A program folder as a first start leaves it, the seed star's image files
// in place, and the catalogue screen opened as the observer opens it.
class Catalogue final
{
public:
    Catalogue()
    {
        QVERIFY(store::createDefault(m_folder.programFolder()));
        for (const char *sub : {"obs", "starcharts", "charts"})
            QDir(m_folder.path()).mkdir(QLatin1String(sub));
        m_folder.write(QStringLiteral("header.txt"), observerHeader);
        m_folder.write(QStringLiteral("starcharts/ss cyg.gif"), "GIF89a");
        m_folder.write(QStringLiteral("charts/ss cyg-finder.gif"), "GIF89a");
    }

    ~Catalogue()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_screens.reset();
    }

    QString path() const { return m_folder.path(); }
    AppFolder &folder() { return m_folder; }
    MessageRecorder &messages() { return m_messages; }

    catalogue::frmDatabase *open()
    {
        m_screens = std::make_unique<app::ScreenRegistry>(m_folder.programFolder());
        QWidget *start = screenkit::show(screenkit::Screen::Startup);
        if (!QTest::qWaitForWindowActive(start))
            return nullptr;
        // By its access key, as the observer would; the button clicks a moment later.
        QTest::keyClick(start, Qt::Key_D, Qt::AltModifier);
        if (!QTest::qWaitFor([] { return screenkit::find(screenkit::Screen::Catalogue) != nullptr; }))
            return nullptr;
        m_screen = qobject_cast<catalogue::frmDatabase *>(screenkit::find(screenkit::Screen::Catalogue));
        return m_screen && QTest::qWaitForWindowActive(m_screen) ? m_screen.data() : nullptr;
    }

    template<typename W = QWidget>
    W *get(const char *name) const
    {
        return m_screen->findChild<W *>(QLatin1String(name));
    }
    QLineEdit *field(const char *name) const { return get<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return get<QPushButton>(name); }
    QString label(const char *name) const { return get<QLabel>(name)->text(); }

    void click(const char *name) const
    {
        QWidget *control = get(name);
        // Check boxes and option buttons where their box is drawn.
        const bool box = qobject_cast<QAbstractButton *>(control) && !qobject_cast<QPushButton *>(control);
        QTest::mouseClick(control, Qt::LeftButton, {}, box ? QPoint(7, control->height() / 2) : QPoint());
    }
    // Replaces the field's text by typing, as the observer would.
    void type(const char *name, const QString &text) const
    {
        QLineEdit *edit = field(name);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
    }
    void search(const QString &name) const
    {
        type("txtsearch", name);
        click("cmdSearchstar");
    }

    // One column of a list, row by row.
    QStringList column(const char *list, int column) const
    {
        const QAbstractItemModel *model = get<QTableView>(list)->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts.append(model->index(row, column).data().toString());
        return texts;
    }
    QStringList headers(const char *list) const
    {
        const QAbstractItemModel *model = get<QTableView>(list)->model();
        QStringList texts;
        for (int i = 0; i < model->columnCount(); ++i)
            texts.append(model->headerData(i, Qt::Horizontal).toString());
        return texts;
    }

    // The enabled (or shown, for cmdUpdate and sbr1) state of the buttons.
    QString states() const
    {
        QStringList on;
        for (const char *name :
             {"cmdSearchstar", "cmdEdit", "cmdDelete", "cmdNew", "cmdShowall", "cmdFindobs", "cmdReset", "cmdInvert"}) {
            if (button(name)->isEnabled())
                on.append(QLatin1String(name));
        }
        for (const char *name : {"cmdUpdate", "sbr1"}) {
            if (get(name)->isVisible())
                on.append(QLatin1String(name) + QStringLiteral(" shown"));
        }
        return on.join(u' ');
    }

private:
    AppFolder m_folder;
    MessageRecorder m_messages;
    std::unique_ptr<app::ScreenRegistry> m_screens;
    QPointer<catalogue::frmDatabase> m_screen;
};

// The first page of a PDF as an image, or a null image without pdftoppm.
QImage firstPage(const QString &pdf)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        return {};
    const QString stem = pdf + QStringLiteral("-page");
    QProcess::execute(
        QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

int pixelsWith(const QImage &image, const std::function<bool(QRgb)> &test)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x)
            count += test(rgb.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

QPageLayout a4()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}
}

class tst_frmdatabase final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheSeedDatabase();
    void readSequenceKeepsTheChartsStars();
    void tabOrderFollowsTheDesign();
    void searchIgnoresCaseButNotBlanks();
    void showAllEmptiesTheRecordFields();
    void newRecordsAreAdded();
    void newRecordWithoutFileTypeIsRefused();
    void leavingTheNameChecksForDuplicates();
    void editAndSaveCycle();
    void refusedSaveLeavesTheRow();
    void deleteAfterConfirmation();
    void declinedDeleteResetsTheObservations();
    void findResetAndInvert();
    void failedFindChangesNothing();
    void correctWithdrawAndUndoFromTheLookup();
    void layoutFitsCommonScreens_data();
    void layoutFitsCommonScreens();
    void nightShowsOnlyRed();
    void reportOfTheWholeCatalogue();
    void printedReportIsBlackOnWhiteAtNight();
    void otherScreensAndHelp();
};

void tst_frmdatabase::opensOnTheSeedDatabase()
{
    Catalogue c;
    catalogue::frmDatabase *screen = c.open();
    QVERIFY(screen);
    QVERIFY2(c.messages().messages().isEmpty(), qPrintable(c.messages().dump()));
    QCOMPARE(screen->windowTitle(), QStringLiteral("Database Administration"));
    QCOMPARE(screen->canvas()->size(), QSize(1011, 778));
    QCOMPARE(c.column("Grid1", 0), QStringList{QStringLiteral("ss cyg")});
    QCOMPARE(c.headers("Grid1"),
             (QStringList{"starname", "chart", "nightly", "picturefile", "finderchart", "constell"}));
    QCOMPARE(c.column("MSFlexGrid1", 0), QStringList());
    QCOMPARE(c.headers("MSFlexGrid1"),
             (QStringList{"star", "magnitude", "estimate", "obsdate", "obscode", "notes", "chart"}));
    QCOMPARE(c.label("Label1"), QStringLiteral("My charts (1)"));
    QCOMPARE(c.label("Label2"), QStringLiteral("My Observations:"));
    QCOMPARE(c.states(), QStringLiteral("cmdInvert"));
    QCOMPARE(QApplication::focusWidget(), c.field("txtsearch"));
    QVERIFY(c.get<QCheckBox>("chkNightly")->isChecked());
    QVERIFY(c.get<QCheckBox>("chkSuppress")->isChecked());
    for (const char *option : {"Option1", "Option2", "Option3"})
        QVERIFY(!c.get<QRadioButton>(option)->isChecked());
    QVERIFY(c.label("howmanyobsofstar").isEmpty());
    QCOMPARE(c.get("howmanyobsofstar")->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    const QList<std::pair<const char *, QString>> buttons{{"cmdSearchstar", "&Search for star..."},
                                                          {"cmdEdit", "&Edit record"},
                                                          {"cmdUpdate", "Save &Changes"},
                                                          {"Command2", "&Help"},
                                                          {"cmdDelete", "&Delete"},
                                                          {"cmdNew", "&New record"},
                                                          {"cmdShowall", "Show &All"},
                                                          {"cmdChartsreport", "View Report"},
                                                          {"cmdFindobs", "&Find"},
                                                          {"cmdReset", "&Reset"},
                                                          {"cmdInvert", "&Invert"},
                                                          {"Command1", "&Obs Screen >"}};
    for (const auto &[name, text] : buttons)
        QCOMPARE(c.button(name)->text(), text);
    QCOMPARE(c.button("cmdSearchstar")->toolTip(),
             QStringLiteral("Type in the text box and this button becomes usable"));
    QCOMPARE(c.get("chkSuppress")->toolTip(), QStringLiteral("Don't show confirmation popups"));
    QCOMPARE(c.button("Command1")->toolTip(), QStringLiteral("Go to the chart display and observe screen"));
    QCOMPARE(c.get<QGroupBox>("Frame1")->title(), QStringLiteral("File Type:"));
    QCOMPARE(c.label("Label12"), QStringLiteral(".jpg"));
    QCOMPARE(c.label("Label9"), QStringLiteral("Find observations of: "));
}

void tst_frmdatabase::tabOrderFollowsTheDesign()
{
    Catalogue c;
    QVERIFY(c.open());
    QStringList visited;
    for (int i = 0; i < 21; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    // Disabled and hidden controls are passed by.
    QCOMPARE(
        visited,
        (QStringList{"txtName",  "txtChartdate",    "chkNightly", "txtChartpic",   "txtFinderpic",  "txtConstell",
                     "Grid1",    "MSFlexGrid1",     "txtfindme",  "chkSuppress",   "Command1",      "cmdInvert",
                     "Command2", "cmdChartsreport", "Option1",    "cmdLightcurve", "cmdCorrectobs", "cmdWithdrawobs",
                     "cmdUndo",  "cmdReadsequence", "txtsearch"}));
    QVERIFY2(c.messages().messages().isEmpty(), qPrintable(c.messages().dump()));
}

void tst_frmdatabase::searchIgnoresCaseButNotBlanks()
{
    Catalogue c;
    cataloguedata::addCharts(c.path(), {cataloguedata::chart(QStringLiteral("rr lyr"), QStringLiteral("lyr"))});
    QVERIFY(c.open());
    c.type("txtsearch", QStringLiteral("SS CYG"));
    QVERIFY(c.button("cmdSearchstar")->isEnabled());
    c.click("cmdSearchstar");
    QCOMPARE(c.column("Grid1", 0), QStringList{QStringLiteral("ss cyg")});
    QCOMPARE(c.states(), QStringLiteral("cmdSearchstar cmdEdit cmdDelete cmdShowall cmdInvert"));
    c.search(QStringLiteral("rr lyr"));
    QCOMPARE(c.column("Grid1", 0), QStringList{QStringLiteral("rr lyr")});
    QVERIFY(c.messages().messages().isEmpty());

    c.search(QStringLiteral("ss cyg "));
    QCOMPARE(c.messages().messages().size(), 1);
    const hostkit::Message message = c.messages().messages().constFirst();
    QCOMPARE(message.text, QStringLiteral("Star is not in the database.\nPlease check the spelling."));
    QCOMPARE(message.title, QStringLiteral("Star not found"));
    QCOMPARE(message.icon, QMessageBox::Information);
    QVERIFY(c.field("txtsearch")->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), c.field("txtsearch"));
    QCOMPARE(c.states(), QStringLiteral("cmdSearchstar cmdShowall cmdInvert"));
    QCOMPARE(c.column("Grid1", 0), QStringList{QStringLiteral("rr lyr")});
    // The empty box is searched for too.
    c.click("cmdSearchstar");
    QCOMPARE(c.messages().messages().size(), 2);
}

void tst_frmdatabase::showAllEmptiesTheRecordFields()
{
    Catalogue c;
    cataloguedata::addCharts(c.path(),
                             {cataloguedata::chart(QStringLiteral("rr lyr"), QStringLiteral("LYR")),
                              cataloguedata::chart(QStringLiteral("z and"), QStringLiteral("and"))});
    QVERIFY(c.open());
    c.search(QStringLiteral("rr lyr"));
    c.type("txtName", QStringLiteral("new star"));
    c.type("txtChartdate", QStringLiteral("X1"));
    c.get<QCheckBox>("chkNightly")->setChecked(false);
    c.click("cmdShowall");
    QCOMPARE(c.column("Grid1", 0), (QStringList{"z and", "ss cyg", "rr lyr"}));
    for (const char *name : {"txtName", "txtChartdate", "txtChartpic", "txtFinderpic", "txtConstell"})
        QVERIFY2(c.field(name)->text().isEmpty(), name);
    QVERIFY(!c.get<QCheckBox>("chkNightly")->isChecked());
    QCOMPARE(c.field("txtsearch")->text(), QStringLiteral("rr lyr"));
    QCOMPARE(c.get<QStatusBar>("sbr1")->currentMessage(), reminder);
    QCOMPARE(QApplication::focusWidget(), c.field("txtName"));
    QVERIFY(c.states().contains(QStringLiteral("cmdNew")));
    QVERIFY(c.states().contains(QStringLiteral("sbr1 shown")));
    QVERIFY2(c.messages().messages().isEmpty(), qPrintable(c.messages().dump()));
}

void tst_frmdatabase::newRecordsAreAdded()
{
    Catalogue c;
    QVERIFY(c.open());
    c.type("txtName", QStringLiteral("rr lyr"));
    QTest::keyClick(c.field("txtName"), Qt::Key_Tab);
    QCOMPARE(c.field("txtConstell")->text(), QStringLiteral("lyr"));
    c.type("txtChartdate", QStringLiteral("X36483DQK"));
    c.type("txtChartpic", QStringLiteral("rr lyr"));
    c.click("Option2");
    c.click("chkSuppress");
    c.click("cmdNew");
    QCOMPARE(c.messages().texts().value(0), QStringLiteral("New record added"));
    QCOMPARE(c.messages().messages().value(0).title, QStringLiteral("Success!"));
    // The observer has yet to copy the chart.
    QCOMPARE(c.messages().messages().value(1).title, QStringLiteral("Chart file missing"));
    QVERIFY(c.messages().texts().value(1).contains(c.folder().file(QStringLiteral("starcharts"))));
    const auto stored = cataloguedata::storedChart(c.path(), QStringLiteral("rr lyr"));
    QVERIFY(stored);
    QCOMPARE(stored->chart, QStringLiteral("X36483DQK"));
    QCOMPARE(stored->nightly, QStringLiteral("yes"));
    QCOMPARE(stored->picturefile, QStringLiteral("rr lyr.gif"));
    QCOMPARE(stored->finderchart, QStringLiteral("none"));
    QCOMPARE(stored->constell, QStringLiteral("lyr"));
    QCOMPARE(c.column("Grid1", 0), (QStringList{"ss cyg", "rr lyr"}));
    QCOMPARE(c.label("Label1"), QStringLiteral("My charts (2)"));
    QVERIFY(c.field("txtName")->text().isEmpty());
    QCOMPARE(c.get<QStatusBar>("sbr1")->currentMessage(),
             reminder + QStringLiteral(": \"rr lyr.gif\" is not in starcharts yet."));

    // With alerts suppressed, the missing file is told in the status bar alone.
    c.messages().clear();
    c.click("chkSuppress");
    c.type("txtName", QStringLiteral("r cas"));
    c.type("txtChartdate", QStringLiteral("X1"));
    c.type("txtChartpic", QStringLiteral("r cas"));
    c.click("cmdNew");
    QVERIFY2(c.messages().messages().isEmpty(), qPrintable(c.messages().dump()));
    QVERIFY(c.get<QStatusBar>("sbr1")->currentMessage().endsWith(
        QStringLiteral("\"r cas.gif\" is not in starcharts yet.")));

    // With its files in place, nothing is said either.
    c.messages().clear();
    c.folder().write(QStringLiteral("starcharts/r leo.png"), "PNG");
    c.folder().write(QStringLiteral("charts/r leo-finder.png"), "PNG");
    c.type("txtName", QStringLiteral("r leo"));
    c.type("txtChartdate", QStringLiteral("070613"));
    c.click("chkNightly");
    c.type("txtChartpic", QStringLiteral("r leo"));
    c.type("txtFinderpic", QStringLiteral("r leo-finder"));
    c.click("Option1");
    c.click("cmdNew");
    QVERIFY2(c.messages().messages().isEmpty(), qPrintable(c.messages().dump()));
    const auto second = cataloguedata::storedChart(c.path(), QStringLiteral("r leo"));
    QVERIFY(second);
    QCOMPARE(second->nightly, QStringLiteral("no"));
    QCOMPARE(second->picturefile, QStringLiteral("r leo.png"));
    QCOMPARE(second->finderchart, QStringLiteral("r leo-finder.png"));
    QCOMPARE(second->constell, QStringLiteral("leo"));
    QCOMPARE(c.label("Label1"), QStringLiteral("My charts (4)"));
}

void tst_frmdatabase::newRecordWithoutFileTypeIsRefused()
{
    Catalogue c;
    QVERIFY(c.open());
    c.type("txtName", QStringLiteral("rr lyr"));
    c.type("txtChartdate", QStringLiteral("X1"));
    c.type("txtChartpic", QStringLiteral("rr lyr"));
    c.click("cmdNew");
    QCOMPARE(c.messages().messages().size(), 1);
    QCOMPARE(c.messages().messages().constFirst().title, QStringLiteral("Record not added"));
    QVERIFY(c.messages().texts().constFirst().contains(QStringLiteral(".png, .gif or .jpg")));
    QCOMPARE(cataloguedata::rowCount(c.path(), QStringLiteral("charts")), 1);
    QCOMPARE(c.field("txtName")->text(), QStringLiteral("rr lyr"));
    QCOMPARE(c.field("txtChartpic")->text(), QStringLiteral("rr lyr"));
    QCOMPARE(c.field("txtConstell")->text(), QStringLiteral("lyr"));
    QCOMPARE(c.label("Label1"), QStringLiteral("My charts (1)"));

    // A field too long for its column is named, the fields kept.
    c.messages().clear();
    c.click("Option3");
    c.type("txtChartdate", QStringLiteral("12345678901"));
    c.click("cmdNew");
    QVERIFY(c.messages().texts().value(0).contains(QStringLiteral("\"Chart date / ID\"")));
    QCOMPARE(c.field("txtChartdate")->text(), QStringLiteral("12345678901"));
    QCOMPARE(cataloguedata::rowCount(c.path(), QStringLiteral("charts")), 1);
}

void tst_frmdatabase::leavingTheNameChecksForDuplicates()
{
    Catalogue c;
    QVERIFY(c.open());
    c.type("txtName", QStringLiteral("SS CYG"));
    QTest::keyClick(c.field("txtName"), Qt::Key_Tab);
    QCOMPARE(c.messages().texts(), QStringList{QStringLiteral("Star is already in the database")});
    QCOMPARE(c.messages().messages().constFirst().title, QStringLiteral("Duplicate entry"));
    QVERIFY(c.field("txtName")->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), c.field("txtName"));
    QCOMPARE(c.field("txtConstell")->text(), QStringLiteral("CYG"));
    c.type("txtName", QStringLiteral("ab"));
    QTest::keyClick(c.field("txtName"), Qt::Key_Tab);
    QCOMPARE(c.field("txtConstell")->text(), QStringLiteral("ab"));
    QCOMPARE(c.messages().messages().size(), 1);
}

void tst_frmdatabase::editAndSaveCycle()
{
    Catalogue c;
    {
        SqlFile(c.path()).exec(QStringLiteral("UPDATE Charts SET nightly = 'Yes' WHERE starname = 'ss cyg'"));
    }
    QVERIFY(c.open());
    c.search(QStringLiteral("ss cyg"));
    c.click("cmdEdit");
    QCOMPARE(c.field("txtName")->text(), QStringLiteral("ss cyg"));
    QCOMPARE(c.field("txtChartdate")->text(), QStringLiteral("1896"));
    QVERIFY(!c.get<QCheckBox>("chkNightly")->isChecked());
    QCOMPARE(c.field("txtChartpic")->text(), QStringLiteral("ss cyg.gif"));
    QVERIFY(c.get<QRadioButton>("Option2")->isChecked());
    QCOMPARE(c.field("txtFinderpic")->text(), QStringLiteral("ss cyg-finder.gif"));
    QCOMPARE(c.field("txtConstell")->text(), QStringLiteral("cyg"));
    // New record is enabled again by the loaded name, Delete stays off.
    QCOMPARE(c.states(), QStringLiteral("cmdSearchstar cmdEdit cmdNew cmdShowall cmdInvert cmdUpdate shown"));

    // The loaded star is no duplicate of itself.
    QTest::mouseClick(c.field("txtName"), Qt::LeftButton);
    QTest::keyClick(c.field("txtName"), Qt::Key_Tab);
    QCOMPARE(c.field("txtName")->text(), QStringLiteral("ss cyg"));
    c.type("txtChartdate", QStringLiteral("X2"));
    c.click("cmdUpdate");
    QVERIFY2(c.messages().messages().isEmpty(), qPrintable(c.messages().dump()));
    const auto stored = cataloguedata::storedChart(c.path(), QStringLiteral("ss cyg"));
    QCOMPARE(stored->chart, QStringLiteral("X2"));
    QCOMPARE(stored->nightly, QStringLiteral("no"));
    QCOMPARE(stored->picturefile, QStringLiteral("ss cyg.gif"));
    QVERIFY(c.field("txtsearch")->text().isEmpty());
    QVERIFY(c.field("txtName")->text().isEmpty());
    QCOMPARE(c.states(), QStringLiteral("cmdEdit cmdNew cmdShowall cmdInvert cmdUpdate shown sbr1 shown"));

    // New record on a loaded record is a duplicate.
    c.search(QStringLiteral("ss cyg"));
    c.click("cmdEdit");
    c.click("cmdNew");
    QCOMPARE(c.messages().texts(),
             QStringList{QStringLiteral("This star is already in the Database\n(maybe you want to edit its details "
                                        "instead?)")});
    QCOMPARE(c.messages().messages().constFirst().title, QStringLiteral("No need for new record!"));
    QVERIFY(c.field("txtName")->text().isEmpty());
    QCOMPARE(cataloguedata::rowCount(c.path(), QStringLiteral("charts")), 1);
}

void tst_frmdatabase::refusedSaveLeavesTheRow()
{
    Catalogue c;
    QVERIFY(c.open());
    c.search(QStringLiteral("ss cyg"));
    c.click("cmdEdit");
    c.type("txtChartdate", QStringLiteral("12345678901"));
    c.type("txtFinderpic", QString());
    c.click("cmdUpdate");
    QCOMPARE(c.messages().messages().size(), 1);
    QCOMPARE(c.messages().messages().constFirst().title, QStringLiteral("Changes not saved"));
    QVERIFY(c.messages().texts().constFirst().contains(QStringLiteral("\"Chart date / ID\"")));
    QCOMPARE(cataloguedata::storedChart(c.path(), QStringLiteral("ss cyg"))->chart, QStringLiteral("1896"));
    QCOMPARE(c.field("txtChartdate")->text(), QStringLiteral("12345678901"));

    // A name that is not in the catalogue: nothing saved, nothing added.
    c.messages().clear();
    c.type("txtChartdate", QStringLiteral("X3"));
    c.type("txtFinderpic", QStringLiteral("none"));
    c.type("txtName", QStringLiteral("rr lyr"));
    c.click("cmdUpdate");
    QCOMPARE(c.messages().messages().constFirst().title, QStringLiteral("Changes not saved"));
    QVERIFY(c.messages().texts().constFirst().contains(QStringLiteral("\"rr lyr\"")));
    QCOMPARE(cataloguedata::storedChart(c.path(), QStringLiteral("ss cyg"))->chart, QStringLiteral("1896"));
    QCOMPARE(cataloguedata::rowCount(c.path(), QStringLiteral("charts")), 1);

    // Renamed to a catalogued star and saved by the access key from the name field.
    cataloguedata::addCharts(c.path(), {cataloguedata::chart(QStringLiteral("r leo"), QStringLiteral("leo"))});
    const auto rLeo = cataloguedata::storedChart(c.path(), QStringLiteral("r leo"));
    c.messages().clear();
    c.type("txtName", QStringLiteral("r leo"));
    QTest::keyClick(c.field("txtName"), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(c.messages().texts(), QStringList{QStringLiteral("Star is already in the database")});
    QVERIFY(!c.button("cmdUpdate")->isDown());
    QCOMPARE(QApplication::focusWidget(), c.field("txtName"));
    QCOMPARE(cataloguedata::storedChart(c.path(), QStringLiteral("ss cyg"))->chart, QStringLiteral("1896"));
    const auto rLeoAfter = cataloguedata::storedChart(c.path(), QStringLiteral("r leo"));
    QCOMPARE((QStringList{rLeoAfter->chart, rLeoAfter->picturefile, rLeoAfter->constell}),
             (QStringList{rLeo->chart, rLeo->picturefile, rLeo->constell}));
}

void tst_frmdatabase::deleteAfterConfirmation()
{
    Catalogue c;
    cataloguedata::addCharts(c.path(), {cataloguedata::chart(QStringLiteral("rr lyr"), QStringLiteral("lyr"))});
    QVERIFY(c.open());
    // Alerts suppressed: the confirmation alone.
    c.search(QStringLiteral("rr lyr"));
    c.messages().queueAnswer(QMessageBox::Yes);
    c.click("cmdDelete");
    QCOMPARE(c.messages().texts(), QStringList{QStringLiteral("Are you sure you wish to delete this record?")});
    QCOMPARE(c.label("Label1"), QStringLiteral("My charts (1)"));
    c.messages().clear();

    c.click("chkSuppress");
    c.search(QStringLiteral("SS CYG"));
    c.messages().queueAnswer(QMessageBox::Yes);
    c.click("cmdDelete");
    QCOMPARE(c.messages().messages().size(), 2);
    const hostkit::Message confirm = c.messages().messages().at(0);
    QCOMPARE(confirm.text, QStringLiteral("Are you sure you wish to delete this record?"));
    QCOMPARE(confirm.title, QStringLiteral("Please Confirm"));
    QCOMPARE(confirm.icon, QMessageBox::NoIcon);
    QCOMPARE(confirm.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(c.messages().messages().at(1).text, QStringLiteral("Star deleted"));
    QCOMPARE(c.messages().messages().at(1).title, QStringLiteral("Deletion Confirmed"));
    QCOMPARE(cataloguedata::rowCount(c.path(), QStringLiteral("charts")), 0);
    QVERIFY(c.column("Grid1", 0).isEmpty());
    // The last chart gone, the heading keeps its count.
    QCOMPARE(c.label("Label1"), QStringLiteral("My charts (1)"));
    QVERIFY(c.field("txtsearch")->text().isEmpty());
    QCOMPARE(c.states(), QStringLiteral("cmdEdit cmdDelete cmdShowall cmdInvert sbr1 shown"));

    // Delete and Edit with the empty search box change nothing.
    c.messages().clear();
    c.click("cmdDelete");
    c.click("cmdEdit");
    QCOMPARE(c.messages().messages().size(), 2);
    for (const hostkit::Message &message : c.messages().messages()) {
        QCOMPARE(message.title, QStringLiteral("Star not found"));
        QVERIFY(message.text.startsWith(QStringLiteral("No star was named.")));
    }
    QCOMPARE(c.states(), QStringLiteral("cmdEdit cmdDelete cmdShowall cmdInvert sbr1 shown"));
}

void tst_frmdatabase::declinedDeleteResetsTheObservations()
{
    Catalogue c;
    cataloguedata::addObservations(c.path(),
                                   {{QStringLiteral("ss cyg"), QStringLiteral("2458125.5")},
                                    {QStringLiteral("rr lyr"), QStringLiteral("2458124.5")}});
    QVERIFY(c.open());
    c.type("txtfindme", QStringLiteral("ss cyg"));
    c.click("cmdFindobs");
    QCOMPARE(c.label("howmanyobsofstar"), QStringLiteral("1 obs of ss cyg"));
    c.search(QStringLiteral("ss cyg"));
    c.messages().queueAnswer(QMessageBox::No);
    c.click("cmdDelete");
    QCOMPARE(c.messages().messages().size(), 1);
    QCOMPARE(cataloguedata::rowCount(c.path(), QStringLiteral("charts")), 1);
    // All observations again, in table order.
    QCOMPARE(c.column("MSFlexGrid1", 3), (QStringList{"2458125.5", "2458124.5"}));
    QVERIFY(c.label("howmanyobsofstar").isEmpty());
    QVERIFY(c.field("txtsearch")->text().isEmpty());
    QVERIFY(!c.button("cmdSearchstar")->isEnabled());
    QCOMPARE(c.column("Grid1", 0), QStringList{QStringLiteral("ss cyg")});
}

void tst_frmdatabase::findResetAndInvert()
{
    Catalogue c;
    cataloguedata::addObservations(c.path(),
                                   {{QStringLiteral("ss cyg"), QStringLiteral("2458124.3958")},
                                    {QStringLiteral("rr lyr"), QStringLiteral("10000.1")},
                                    {QStringLiteral("o'neil's star"), QStringLiteral("2458125.5")},
                                    {QStringLiteral("SS Cyg"), QStringLiteral("999.5")}});
    catalogue::frmDatabase *screen = c.open();
    QVERIFY(screen);
    QCOMPARE(c.label("Label2"), QStringLiteral("My observations (4)"));
    QCOMPARE(c.column("MSFlexGrid1", 3), (QStringList{"10000.1", "2458124.3958", "2458125.5", "999.5"}));

    c.type("txtfindme", QStringLiteral("SS CYG"));
    QVERIFY(c.button("cmdFindobs")->isEnabled());
    c.click("cmdFindobs");
    QCOMPARE(screen->obstofind(), QStringLiteral("SS CYG"));
    QCOMPARE(c.column("MSFlexGrid1", 0), (QStringList{"ss cyg", "SS Cyg"}));
    QCOMPARE(c.label("howmanyobsofstar"), QStringLiteral("2 obs of SS CYG"));
    QVERIFY(c.button("cmdReset")->isEnabled());
    c.type("txtfindme", QStringLiteral("o'neil's star"));
    c.click("cmdFindobs");
    QCOMPARE(c.label("howmanyobsofstar"), QStringLiteral("1 obs of o'neil's star"));
    c.type("txtfindme", QString());
    c.click("cmdFindobs");
    QCOMPARE(c.label("howmanyobsofstar"), QStringLiteral("0 obs of "));
    QVERIFY(c.column("MSFlexGrid1", 0).isEmpty());

    c.click("cmdInvert");
    QCOMPARE(c.column("MSFlexGrid1", 3), (QStringList{"999.5", "2458125.5", "2458124.3958", "10000.1"}));
    QVERIFY(c.label("howmanyobsofstar").isEmpty());
    c.click("cmdReset");
    QCOMPARE(c.column("MSFlexGrid1", 3), (QStringList{"2458124.3958", "10000.1", "2458125.5", "999.5"}));
    QVERIFY(c.button("cmdReset")->isEnabled());
    // The heading was counted when the screen opened.
    QCOMPARE(c.label("Label2"), QStringLiteral("My observations (4)"));
    QVERIFY2(c.messages().messages().isEmpty(), qPrintable(c.messages().dump()));
}

void tst_frmdatabase::correctWithdrawAndUndoFromTheLookup()
{
    Catalogue c;
    cataloguedata::addObservations(c.path(), {{QStringLiteral("ss cyg"), QStringLiteral("2458124.3958")}});
    const auto active = [&c] { return QApplication::activeWindow() == c.get("txtfindme")->window(); };
    c.folder().write(QStringLiteral("obs/2018-Jan-05.txt"),
                     observerHeader + "ss cyg|2458124.3958|11.2|na|110|115|1896|na\r\n");
    // The AAVSO holds it, by an imported download.
    SqlFile(c.path()).exec(QStringLiteral("INSERT INTO ledger VALUES ('SS CYG', 24581243958, 11.2, 0)"));
    QVERIFY(c.open());
    c.type("txtfindme", QStringLiteral("ss cyg"));
    c.click("cmdFindobs");
    auto *list = c.get<QTableView>("MSFlexGrid1");
    list->selectRow(0);

    // The form, answered when it shows: a new magnitude, then OK.
    QTimer form;
    connect(&form, &QTimer::timeout, &form, [&form] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || dialog->objectName() != QLatin1String("frmCorrectobs"))
            return;
        form.stop();
        dialog->findChild<QLineEdit *>(QStringLiteral("magnitude"))->setText(QStringLiteral("11.4"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOk")), Qt::LeftButton);
    });
    form.start(10);
    QTest::keyClick(c.field("txtfindme"), Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(c.folder().read(QStringLiteral("obs/2018-Jan-05.txt")),
                 observerHeader + "ss cyg|2458124.3958|11.4|na|110|115|1896|na\r\n");
    QVERIFY2(c.messages().texts().constFirst().contains(u"The AAVSO holds this observation"),
             qPrintable(c.messages().dump()));
    QCOMPARE(c.column("MSFlexGrid1", 1), QStringList{QStringLiteral("11.4")});
    QVERIFY(list->model()->index(0, 0).data(Qt::FontRole).value<QFont>().italic());

    c.messages().queueAnswer(QMessageBox::Yes);
    list->selectRow(0);
    // The form has closed: the access keys are the screen's again once it is active.
    c.get("txtfindme")->window()->activateWindow();
    QTRY_VERIFY(active());
    QTest::keyClick(c.field("txtfindme"), Qt::Key_W, Qt::AltModifier);
    QTRY_COMPARE(c.folder().read(QStringLiteral("obs/2018-Jan-05.txt")), observerHeader);
    QCOMPARE(c.label("howmanyobsofstar"), QStringLiteral("0 obs of ss cyg, 1 withdrawn"));

    QTest::keyClick(c.field("txtfindme"), Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(c.folder().read(QStringLiteral("obs/2018-Jan-05.txt")),
                 observerHeader + "ss cyg|2458124.3958|11.4|na|110|115|1896|na\r\n");
    QCOMPARE(c.label("howmanyobsofstar"), QStringLiteral("1 obs of ss cyg"));
}

void tst_frmdatabase::failedFindChangesNothing()
{
    Catalogue c;
    cataloguedata::addObservations(c.path(), {{QStringLiteral("ss cyg"), QStringLiteral("2458124.3958")}});
    QVERIFY(c.open());
    c.type("txtfindme", QStringLiteral("ss cyg"));
    c.click("cmdFindobs");
    QVERIFY(QFile::rename(c.folder().file(QStringLiteral("starcharts.mdb")), c.folder().file(QStringLiteral("away"))));
    c.type("txtfindme", QStringLiteral("rr lyr"));
    c.click("cmdFindobs");
    QCOMPARE(c.messages().texts(),
             QStringList{QStringLiteral("No observations of this star are available.\nPlease check the spelling")});
    QCOMPARE(c.messages().messages().constFirst().title, QStringLiteral("Not Found"));
    QCOMPARE(c.label("howmanyobsofstar"), QStringLiteral("1 obs of ss cyg"));
    QCOMPARE(c.column("MSFlexGrid1", 0), QStringList{QStringLiteral("ss cyg")});
}

void tst_frmdatabase::layoutFitsCommonScreens_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1280x800") << QSize(1280, 800);
    QTest::newRow("1366x768") << QSize(1366, 768);
}

void tst_frmdatabase::layoutFitsCommonScreens()
{
    QFETCH(QSize, screen);
    Catalogue c;
    QList<Observation> many;
    for (int i = 0; i < 1234; ++i)
        many.append({QStringLiteral("ss cyg"), QString::number(2450000 + i)});
    cataloguedata::addObservations(c.path(), many);
    catalogue::frmDatabase *form = c.open();
    QVERIFY(form);
    c.type("txtfindme", QStringLiteral("ss cyg"));
    c.click("cmdFindobs");
    form->fitTo(QRect(QPoint(0, 0), screen));
    QVERIFY(!form->scrolls());
    QVERIFY(form->scale() >= screenkit::Form::smallestScale);

    QWidget *canvas = form->canvas();
    QList<QWidget *> controls;
    for (QWidget *child : canvas->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->objectName().startsWith(QStringLiteral("qt_")))
            controls.append(child);
    }
    controls += c.get("Frame1")->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QVERIFY(controls.size() >= 40);
    const auto placed = [canvas](QWidget *w) { return QRect(w->mapTo(canvas, QPoint(0, 0)), w->size()); };
    for (QWidget *control : std::as_const(controls))
        QVERIFY2(canvas->rect().contains(placed(control)), qPrintable(control->objectName()));
    // Only the overlaps the design has: two labels reach into the frame.
    const QSet<QString> designed{QStringLiteral("Label5/Frame1"), QStringLiteral("Label7/Frame1")};
    for (QWidget *a : std::as_const(controls)) {
        for (QWidget *b : std::as_const(controls)) {
            if (a == b || a->parentWidget() != canvas || b->parentWidget() != canvas
                || a->objectName() > b->objectName())
                continue;
            if (placed(a).intersects(placed(b))) {
                const QString pair = a->objectName() + u'/' + b->objectName();
                QVERIFY2(designed.contains(pair) || designed.contains(b->objectName() + u'/' + a->objectName()),
                         qPrintable(pair));
            }
        }
    }
    // The grown heading keeps its right edge over the list.
    QCOMPARE(c.label("Label2"), QStringLiteral("My observations (1234)"));
    QVERIFY(c.get("Label2")->geometry().right() <= c.get("MSFlexGrid1")->geometry().right());
}

void tst_frmdatabase::nightShowsOnlyRed()
{
    Catalogue c;
    cataloguedata::addObservations(c.path(), {{QStringLiteral("ss cyg"), QStringLiteral("2458124.3958")}});
    auto night = std::make_unique<screenkit::night::Hold>();
    catalogue::frmDatabase *screen = c.open();
    QVERIFY(screen);
    c.type("txtfindme", QStringLiteral("ss cyg"));
    c.click("cmdFindobs");
    c.search(QStringLiteral("ss cyg"));
    c.click("cmdEdit");
    c.get<QTableView>("Grid1")->selectRow(0);
    c.field("txtName")->setFocus();
    const QImage image = grabNight(screen);
    const int light = lightPixels(image);
    if (light)
        image.save(QStringLiteral("catalogue-light.png"));
    QCOMPARE(light, 0);

    c.click("cmdChartsreport");
    auto *preview = screen->findChild<QPrintPreviewDialog *>(QStringLiteral("DataReport1"));
    QVERIFY(preview);
    QVERIFY(QTest::qWaitForWindowExposed(preview));
    const QImage pages = grabNight(preview);
    const int previewLight = lightPixels(pages);
    if (previewLight)
        pages.save(QStringLiteral("report-light.png"));
    QCOMPARE(previewLight, 0);
    // A page was painted: its texts in bright red.
    QVERIFY(pixelsWith(pages, [](QRgb p) { return qRed(p) > 200; }) > 100);

    // Morning: the page is white again, the toolbar in its own colours.
    night.reset();
    QTRY_VERIFY(pixelsWith(preview->grab().toImage(), [](QRgb p) { return qGray(p) > 240; }) > 10000);
    QVERIFY(lightPixels(preview->grab().toImage()) > 0);
    QCOMPARE(c.get("howmanyobsofstar")->palette().color(QPalette::WindowText), QColor(192, 0, 0));
}

void tst_frmdatabase::reportOfTheWholeCatalogue()
{
    Catalogue c;
    cataloguedata::addCharts(c.path(), {cataloguedata::chart(QStringLiteral("rr lyr"), QStringLiteral("lyr"))});
    catalogue::frmDatabase *screen = c.open();
    QVERIFY(screen);
    c.search(QStringLiteral("rr lyr"));
    c.click("cmdChartsreport");
    auto *preview = screen->findChild<QPrintPreviewDialog *>(QStringLiteral("DataReport1"));
    QVERIFY(preview);
    QVERIFY(QTest::qWaitForWindowExposed(preview));
    QVERIFY(!preview->isModal());
    QCOMPARE(preview->windowTitle(), QStringLiteral("My Charts"));
    // The screen stays usable beside it.
    QVERIFY(screen->isEnabled() && !QApplication::activeModalWidget());
    // Opened again, the one report shows the catalogue afresh.
    cataloguedata::addCharts(c.path(), {cataloguedata::chart(QStringLiteral("r leo"), QStringLiteral("leo"))});
    c.click("cmdChartsreport");
    QCOMPARE(screen->findChildren<QPrintPreviewDialog *>().size(), 1);

    preview->printer()->setPageLayout(a4());
    const QString pdf = c.folder().file(QStringLiteral("My Charts.pdf"));
    answerFileDialog(pdf);
    preview->findChild<QAction *>(QStringLiteral("savePdf"))->trigger();
    QVERIFY2(QFile::exists(pdf), qPrintable(c.messages().dump()));
    const std::optional<QString> text = cataloguedata::pdfText(pdf);
    if (!text)
        QSKIP("pdftotext is not installed");
    const QString page = text->simplified();
    QVERIFY2(page.startsWith(QStringLiteral("My Charts Variable: Chart: Nightly? Chart name: Finderchart Name: "
                                            "In Constellation ss cyg 1896 yes ss cyg.gif ss cyg-finder.gif cyg r leo")),
             qPrintable(page));
    QVERIFY2(page.contains(QStringLiteral("rr lyr X1 no rr lyr.gif none lyr")), qPrintable(page));
    QVERIFY2(page.contains(QStringLiteral("Total charts: 3")), qPrintable(page));
    QVERIFY2(page.contains(QStringLiteral("1 of 1")), qPrintable(page));
}

void tst_frmdatabase::printedReportIsBlackOnWhiteAtNight()
{
    Catalogue c;
    screenkit::night::Hold night;
    catalogue::frmDatabase *screen = c.open();
    QVERIFY(screen);
    c.click("cmdChartsreport");
    auto *preview = screen->findChild<QPrintPreviewDialog *>(QStringLiteral("DataReport1"));
    QVERIFY(preview);
    // Printed from the preview: the printer gets its pages as the preview does.
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = c.folder().file(QStringLiteral("printed.pdf"));
    printer.setOutputFileName(pdf);
    printer.setPageLayout(a4());
    emit preview->paintRequested(&printer);
    const QImage page = firstPage(pdf);
    if (page.isNull())
        QSKIP("pdftoppm is not installed");
    QVERIFY(pixelsWith(page, [](QRgb p) { return qGray(p) > 240; }) > page.width() * page.height() * 9 / 10);
    QCOMPARE(pixelsWith(page, [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 50; }), 0);
}

void tst_frmdatabase::otherScreensAndHelp()
{
    Catalogue c;
    QVERIFY(QFile::copy(QStringLiteral(FERROW_LIBRARY), c.folder().file(QStringLiteral("libferrow.so"))));
    QVERIFY(QFile::copy(QStringLiteral(HELP_FILE), c.folder().file(QStringLiteral("quillon.html"))));
    catalogue::frmDatabase *screen = c.open();
    QVERIFY(screen);
    QTest::keyClick(screen, Qt::Key_H, Qt::AltModifier);
    QTRY_COMPARE(shownHelpTopic(), QStringLiteral("1000"));
    closeHelp();
    screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    c.click("Command1");
    QWidget *entry = screenkit::find(screenkit::Screen::Observation);
    QVERIFY(entry && entry->isVisible());
    QVERIFY(screen->isVisible());
    // Its "Database Screen" button brings this one back.
    QCOMPARE(screenkit::show(screenkit::Screen::Catalogue), screen);
    c.click("Command1");
    QCOMPARE(screenkit::find(screenkit::Screen::Observation), entry);

    // The light curve is of the star looked up last; before any lookup it says so.
    c.click("cmdLightcurve");
    QCOMPARE(c.messages().messages().size(), 1);
    QVERIFY(!screenkit::find(screenkit::Screen::LightCurve));
    c.type("txtfindme", QStringLiteral("SS Cyg"));
    c.click("cmdFindobs");
    c.click("cmdLightcurve");
    QWidget *curve = screenkit::find(screenkit::Screen::LightCurve);
    QVERIFY(curve && curve->isVisible());
    QCOMPARE(curve->windowTitle(), QStringLiteral("Light curve of SS Cyg"));
}

void tst_frmdatabase::readSequenceKeepsTheChartsStars()
{
    Catalogue c;
    catalogue::frmDatabase *screen = c.open();
    QVERIFY(screen);
    c.folder().write(QStringLiteral("X1.json"), R"({"chartid":"X1","photometry":[{"auid":"000-AAA-001","label":"101",
        "bands":[{"band":"V","mag":10.1,"error":0.01}]}]})");
    answerFileDialog(c.folder().file(QStringLiteral("X1.json")));
    QTest::keyClick(screen, Qt::Key_Q, Qt::AltModifier);
    QTRY_COMPARE(c.messages().messages().size(), 1);
    QVERIFY2(c.messages().texts().constFirst().endsWith(QStringLiteral("chart X1, 1 comparison star kept")),
             qPrintable(c.messages().dump()));
    QCOMPARE(SqlFile(c.path()).value(QStringLiteral("SELECT v FROM sequences WHERE chart = 'X1'")).toDouble(), 10.1);
}

QTEST_MAIN(tst_frmdatabase)
#include "tst_frmdatabase.moc"
