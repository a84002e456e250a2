// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/componenthost.h"
#include "hostkit/formdesign.h"
#include "tests/support/appfolder.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QTest>
#include <QVBoxLayout>

using namespace hostkit;

namespace
{
const QString library = QStringLiteral("libferrow.so");
const QString clsid = QStringLiteral("{292A4CC2-87A1-4483-821B-D13579577ABE}");

// Answers the control's Validate and KeyDown by name, as the program does.
class Receiver final : public QObject
{
    Q_OBJECT

public:
    int changes = 0;
    bool cancel = false;
    short refusedKey = -1;

public slots:
    void onChange() { ++changes; }
    void onValidate(bool &cancelled) { cancelled = cancel; }
    void onKeyDown(short &keyCode, short &) { keyCode = keyCode == refusedKey ? 0 : keyCode; }
};

// Whether the library file is mapped into this process, as the loader leaves it.
bool isMapped(const QString &path)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(QFileInfo(path).canonicalFilePath().toUtf8());
}

bool installLibrary(const AppFolder &folder)
{
    return QFile::copy(QStringLiteral(FERROW_LIBRARY), folder.file(library));
}

QLineEdit *innerField(QWidget *control)
{
    return control->findChild<QLineEdit *>(QStringLiteral("txtTextBox"));
}
}

class tst_componenthost final : public QObject
{
    Q_OBJECT

private slots:
    void identityIsReadBeforeLoading();
    void createsTheFiveDateAndTimeFields();
    void eventsConnectByName();
    void rangeMessagesGoThroughTheHostsSeam();
    void savingGivesBackTheDesign();
    void unloadsOnlyWithoutLiveControls();
    void failuresNameTheFile_data();
    void failuresNameTheFile();
    void extentConversion();
};

void tst_componenthost::identityIsReadBeforeLoading()
{
    AppFolder folder;
    QVERIFY(installLibrary(folder));
    ComponentHost host(folder.path());
    ControlLibraryIdentity identity;
    QString error;

    QVERIFY2(host.identify(library, &identity, &error), qPrintable(error));

    QVERIFY(!isMapped(folder.file(library)));
    QCOMPARE(identity.name, QStringLiteral("ferrow"));
    QCOMPARE(identity.fileVersion, QStringLiteral("1.00"));
    QCOMPARE(identity.typeLibrary, QStringLiteral("ferrow"));
    QCOMPARE(identity.typeLibraryId, QStringLiteral("{635AAAD6-EA0A-419E-93CB-34C50F6FA9D4}"));
    QCOMPARE(identity.typeLibraryVersion, QStringLiteral("2.0"));
    QCOMPARE(identity.lcid, 1033);
    QCOMPARE(identity.classes.size(), 1);
    const ControlClassIdentity *numbox = identity.findClass(QStringLiteral("FERROW.NUMBOX"));
    QVERIFY(numbox);
    QCOMPARE(numbox->name, QStringLiteral("numbox"));
    QCOMPARE(numbox->clsid, clsid);
    QCOMPARE(numbox->interfaceId, QStringLiteral("{80E42604-2A67-484B-8F31-A68801D45418}"));
    QCOMPARE(numbox->eventInterfaceId, QStringLiteral("{A8CD3E82-3268-4DB6-83C3-8CE46F849F8A}"));
    QCOMPARE(numbox->toolboxBitmap, 30000);
}

void tst_componenthost::createsTheFiveDateAndTimeFields()
{
    AppFolder folder;
    QVERIFY(installLibrary(folder));
    ComponentHost host(folder.path());
    QWidget screen;
    QList<QWidget *> fields;
    for (const ControlDesign &design : entryScreenDesign().controls()) {
        QString error;
        QWidget *field = host.createFromDesign(design, &screen, &error);
        QVERIFY2(field, qPrintable(error));
        fields.append(field);
    }

    QCOMPARE(fields.size(), 5);
    QStringList names;
    for (QWidget *field : fields) {
        names.append(field->objectName());
        QCOMPARE(field->parentWidget(), &screen);
        QVERIFY(innerField(field));
    }
    QCOMPARE(names, QStringList({"nbYear", "nbMonth", "nbDay", "nbHour", "nbMinute"}));

    QWidget *year = fields.at(0);
    QCOMPARE(year->size(), QSize(65, 33));
    QCOMPARE(year->property("minval"), QVariant(2017));
    QCOMPARE(year->property("maxval"), QVariant(2100));
    QCOMPARE(year->property("BackColor"), QVariant(0x80u));
    QCOMPARE(year->property("FontBold"), QVariant(true));
    QCOMPARE(fields.at(4)->property("maxval"), QVariant(59));

    QVERIFY(year->setProperty("Text", QStringLiteral("2024")));
    QCOMPARE(innerField(year)->text(), QStringLiteral("2024"));
    QVERIFY(fields.at(1)->setProperty("minval", 2));
    QCOMPARE(fields.at(1)->property("minval"), QVariant(2));
    QCOMPARE(fields.at(2)->property("minval"), QVariant(1));
}

void tst_componenthost::eventsConnectByName()
{
    AppFolder folder;
    QVERIFY(installLibrary(folder));
    ComponentHost host(folder.path());
    QString error;
    QWidget *day = host.createFromDesign(*entryScreenDesign().control("nbDay"), nullptr, &error);
    QVERIFY2(day, qPrintable(error));
    Receiver receiver;
    QVERIFY(connect(day, SIGNAL(Change()), &receiver, SLOT(onChange())));
    QVERIFY(connect(day, SIGNAL(KeyDown(short &, short &)), &receiver, SLOT(onKeyDown(short &, short &))));
    QVERIFY(connect(day, SIGNAL(Validate(bool &)), &receiver, SLOT(onValidate(bool &))));

    receiver.refusedKey = '7';
    QTest::keyClicks(innerField(day), "172");
    QCOMPARE(day->property("Text"), QVariant(QStringLiteral("12")));
    QCOMPARE(receiver.changes, 2);
    delete day;
}

void tst_componenthost::rangeMessagesGoThroughTheHostsSeam()
{
    MessageRecorder recorder;
    AppFolder folder;
    QVERIFY(installLibrary(folder));
    ComponentHost host(folder.path());
    QWidget screen;
    auto *layout = new QVBoxLayout(&screen);
    const FormDesign design = entryScreenDesign();
    QString error;
    QWidget *year = host.createFromDesign(*design.control("nbYear"), &screen, &error);
    QVERIFY2(year, qPrintable(error));
    QWidget *month = host.createFromDesign(*design.control("nbMonth"), &screen, &error);
    QVERIFY2(month, qPrintable(error));
    layout->addWidget(year);
    layout->addWidget(month);
    Receiver receiver;
    connect(year, SIGNAL(Validate(bool &)), &receiver, SLOT(onValidate(bool &)));
    screen.show();
    screen.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    year->setFocus();

    QTest::keyClicks(innerField(year), "2016");
    QTest::keyClick(innerField(year), Qt::Key_Tab);
    QCOMPARE(recorder.texts(), QStringList{"Number is smaller than the minimum allowable value"});
    QCOMPARE(recorder.messages().first().title, QStringLiteral("Number out of Range"));
    QVERIFY(innerField(year)->hasFocus());
    QCOMPARE(year->property("Text"), QVariant(QString()));

    receiver.cancel = true;
    QTest::keyClicks(innerField(year), "2020");
    QTest::keyClick(innerField(year), Qt::Key_Tab);
    QVERIFY(innerField(year)->hasFocus());
    receiver.cancel = false;
    QTest::keyClick(innerField(year), Qt::Key_Tab);
    QVERIFY(innerField(month)->hasFocus());
    QCOMPARE(recorder.texts().size(), 1);
}

void tst_componenthost::savingGivesBackTheDesign()
{
    AppFolder folder;
    QVERIFY(installLibrary(folder));
    ComponentHost host(folder.path());
    const ControlDesign design = *entryScreenDesign().control("nbYear");
    QWidget screen;
    screen.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    QString error;
    QWidget *year = host.createFromDesign(design, &screen, &error);
    QVERIFY2(year, qPrintable(error));

    PropertyBag saved;
    QVERIFY2(host.saveControl(year, saved, &error), qPrintable(error));
    QCOMPARE(saved.toText(), design.properties.toText());

    year->resize(100, 20);
    year->setProperty("minval", 2000);
    QVERIFY(host.saveControl(year, saved, &error));
    QCOMPARE(saved.read("_extentx"), QVariant(2646));
    QCOMPARE(saved.read("_extenty"), QVariant(529));
    QCOMPARE(saved.read("minval"), QVariant(2000));

    QWidget stranger;
    QVERIFY(!host.saveControl(&stranger, saved, &error));
}

void tst_componenthost::unloadsOnlyWithoutLiveControls()
{
    AppFolder folder;
    QVERIFY(installLibrary(folder));
    ComponentHost host(folder.path());
    QString error;
    QPointer<QWidget> first = host.createControl(library, "ferrow.numbox", {}, nullptr, &error);
    QVERIFY2(first, qPrintable(error));
    QPointer<QWidget> second = host.createControl(library, "ferrow.numbox", {}, nullptr, &error);
    QCOMPARE(first->property("minval"), QVariant(-90));
    QCOMPARE(first->property("maxval"), QVariant(90));

    QCOMPARE(host.unloadUnused(), 0);
    delete first;
    QCOMPARE(host.unloadUnused(), 0);
    delete second;
    QCOMPARE(host.unloadUnused(), 1);

    QWidget *again = host.createControl(library, "ferrow.numbox", {}, nullptr, &error);
    QVERIFY2(again, qPrintable(error));
    QVERIFY(again->setProperty("Text", QStringLiteral("5")));
    delete again;
    QCOMPARE(host.unloadUnused(), 1);
}

void tst_componenthost::failuresNameTheFile_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("classId");
    QTest::addColumn<QString>("error");

    QTest::newRow("missing file") << "none"
                                  << "ferrow.numbox" << clsid << "does not exist";
    QTest::newRow("random bytes") << "random"
                                  << "ferrow.numbox" << clsid << "is not a control library";
    QTest::newRow("other kind of plugin")
        << "imageplugin"
        << "ferrow.numbox" << clsid << "does not identify itself as a control library";
    QTest::newRow("unknown programmatic name") << "ferrow"
                                               << "ferrow.datebox" << clsid << "has no control \"ferrow.datebox\"";
    QTest::newRow("class identifier mismatch") << "ferrow"
                                               << "ferrow.numbox"
                                               << "{00000000-0000-0000-0000-000000000000}"
                                               << "has the class identifier " + clsid;
}

void tst_componenthost::failuresNameTheFile()
{
    QFETCH(QString, content);
    QFETCH(QString, progId);
    QFETCH(QString, classId);
    QFETCH(QString, error);

    AppFolder folder;
    if (content == "random") {
        QByteArray bytes(4096, Qt::Uninitialized);
        QRandomGenerator generator(20170101);
        for (char &byte : bytes)
            byte = static_cast<char>(generator.bounded(256));
        folder.write(library, bytes);
    } else if (content == "imageplugin") {
        const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/imageformats/libqgif.so";
        if (!QFile::exists(plugin))
            QSKIP("no GIF image plugin to stand for a plugin of another kind");
        QVERIFY(QFile::copy(plugin, folder.file(library)));
    } else if (content == "ferrow") {
        QVERIFY(installLibrary(folder));
    }
    ComponentHost host(folder.path());
    QWidget parent;

    QString reported;
    QWidget *control = host.createControl(library, progId, {}, &parent, &reported, classId);

    QVERIFY(!control);
    QVERIFY2(reported.contains(folder.file(library)), qPrintable(reported));
    QVERIFY2(reported.contains(error), qPrintable(reported));
    QVERIFY(parent.children().isEmpty());
}

void tst_componenthost::extentConversion()
{
    QCOMPARE(ComponentHost::extentToPixels(1720), 65);
    QCOMPARE(ComponentHost::extentToPixels(873), 33);
    QCOMPARE(ComponentHost::pixelsToExtent(65), 1720);
    QCOMPARE(ComponentHost::pixelsToExtent(33), 873);
}

QTEST_MAIN(tst_componenthost)
#include "tst_componenthost.moc"
