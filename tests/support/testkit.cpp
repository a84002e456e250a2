// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/testkit.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWidget>

using namespace hostkit;

const QByteArray observerHeader =
    "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#SOFTWARE=varlume\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";

// The project's name and version credit the program in #SOFTWARE.
const QByteArray defaultHeaderBytes =
    "#TYPE=Visual\r\n#OBSCODE=KTV\r\n#SOFTWARE=" VARLUME_SOFTWARE "\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";

void typeInto(QWidget *field, const QString &text)
{
    QWidget *target = field->focusProxy() ? field->focusProxy() : field;
    QTest::mouseClick(target, Qt::LeftButton);
    QTest::keyClicks(target, text);
}

hostkit::FormDesign entryScreenDesign()
{
    QFile file(QStringLiteral(ENTRY_SCREEN_DESIGN));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return hostkit::FormDesign::fromText(QString::fromUtf8(file.readAll()));
}

namespace
{
QTextBrowser *helpWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("quillonHelp") && window->isVisible())
            return qobject_cast<QTextBrowser *>(window);
    }
    return nullptr;
}
}

QString shownHelpTopic()
{
    const QTextBrowser *browser = helpWindow();
    return browser ? browser->source().fragment() : QString();
}

void closeHelp()
{
    if (QTextBrowser *browser = helpWindow())
        browser->close();
}

int lightPixels(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int light = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (qGreen(line[x]) > 40 || qBlue(line[x]) > 40)
                ++light;
        }
    }
    return light;
}

QImage grabNight(QWidget *widget)
{
    // A flash time of 0 keeps the caret on.
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    const QImage image = widget->grab().toImage();
    QGuiApplication::styleHints()->setCursorFlashTime(flash);
    return image;
}

void answerFileDialog(const QString &file)
{
    // About ten seconds of tries: only a dialog that refuses the name waits that long.
    constexpr int triesBeforeGivingUp = 500;
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, file, tries = 0]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        if (++tries > triesBeforeGivingUp) {
            if (auto *stuck = qobject_cast<QDialog *>(modal))
                stuck->reject();
            timer->deleteLater();
            return;
        }
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog || !dialog->isVisible())
            return;
        // The name field, not selectFile(): that leaves the field alone once
        // it has the focus, and the dialog then has nothing to accept.
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(file);
        else
            dialog->selectFile(file);
        static_cast<QDialog *>(dialog)->accept();
        if (!dialog->isVisible())
            timer->deleteLater();
    });
    timer->start(20);
}
