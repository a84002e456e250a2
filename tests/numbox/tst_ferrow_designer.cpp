// SPDX-License-Identifier: GPL-2.0-or-later
#include <QLineEdit>
#include <QPluginLoader>
#include <QTest>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

class tst_ferrow_designer final : public QObject
{
    Q_OBJECT

private slots:
    void placesANumbox();
};

void tst_ferrow_designer::placesANumbox()
{
    QPluginLoader loader(QStringLiteral(DESIGNER_PLUGIN));
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    auto *plugin = qobject_cast<QDesignerCustomWidgetInterface *>(loader.instance());
    QVERIFY(plugin);

    QCOMPARE(plugin->name(), QStringLiteral("ferrow::numbox"));
    QCOMPARE(plugin->includeFile(), QStringLiteral("numbox.h"));
    QVERIFY(!plugin->isContainer());
    QVERIFY(plugin->domXml().contains(QLatin1String("class=\"ferrow::numbox\"")));
    const QIcon icon = plugin->icon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixmap(16, 16).size(), QSize(16, 16));

    QWidget form;
    QWidget *placed = plugin->createWidget(&form);
    QVERIFY(placed);
    QCOMPARE(placed->parentWidget(), &form);
    QCOMPARE(QString::fromLatin1(placed->metaObject()->className()), QStringLiteral("ferrow::numbox"));
    QCOMPARE(placed->property("minval"), QVariant(-90));
    QCOMPARE(placed->property("maxval"), QVariant(90));
    auto *inner = placed->findChild<QLineEdit *>(QStringLiteral("txtTextBox"));
    QVERIFY(inner);
    QTest::keyClicks(inner, "-4x2");
    QCOMPARE(placed->property("Text"), QVariant(QStringLiteral("-42")));
    delete placed;
}

QTEST_MAIN(tst_ferrow_designer)
#include "tst_ferrow_designer.moc"
