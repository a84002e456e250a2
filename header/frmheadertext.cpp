#include "frmheadertext.h"

#include "cp1252.h"
#include "help.h"
#include "messageseam.h"
#include "screens.h"
#include "ui.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextEdit>

frmHeadertext::frmHeadertext(const QString &appFolder, QWidget *parent)
    : QWidget(parent)
    , m_appFolder(appFolder)
{
    setWindowTitle(QStringLiteral("First-Time Header Entry"));
    setFont(ui::dialogFont());
    ui::setClientSize(this, 10350, 7035);

    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("RichTextBox1"));
    m_text->setAcceptRichText(false);
    m_text->setFont(ui::msSansSerif(8.25));
    m_text->setPlainText(defaultHeader());
    m_text->installEventFilter(this);
    ui::place(m_text, 480, 600, 4935, 3975);

    auto *title = new QLabel(QStringLiteral("First Time personal header initialisation"), this);
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(ui::msSansSerif(9.75, true));
    title->setWordWrap(true);
    title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui::place(title, 5640, 600, 4335, 615);

    auto *guide = new QPlainTextEdit(instructions(), this);
    guide->setObjectName(QStringLiteral("Text1"));
    guide->setReadOnly(true);
    guide->setFont(ui::msSansSerif(12));
    QPalette face = guide->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    guide->setPalette(face);
    ui::place(guide, 5640, 1440, 4455, 3735);

    auto *helpButton = new QPushButton(QStringLiteral("&Help"), this);
    helpButton->setObjectName(QStringLiteral("Command1"));
    ui::place(helpButton, 7560, 6240, 855, 495);
    connect(helpButton, &QPushButton::clicked, this, [this] { help::call(m_appFolder, help::DisplayContents, 1001); });

    m_save = new QPushButton(QStringLiteral("&Save"), this);
    m_save->setObjectName(QStringLiteral("cmdSaveheader"));
    m_save->setToolTip(QStringLiteral("Confirm your header text"));
    m_save->setEnabled(false);
    ui::place(m_save, 8760, 6240, 1455, 495);
    connect(m_save, &QPushButton::clicked, this, &frmHeadertext::save);

    setTabOrder(m_text, guide);
    setTabOrder(guide, helpButton);
    setTabOrder(helpButton, m_save);
}

QString frmHeadertext::defaultHeader()
{
    return QStringLiteral("#TYPE=Visual\n#OBSCODE=KTV\n#SOFTWARE=Halvek\n#DELIM=|\n#DATE=JD\n#OBSTYPE=Visual\n");
}

QString frmHeadertext::instructions()
{
    return QStringLiteral("You only have to do this once, but the \n"
                          "AAVSO requires that when observations \n"
                          "are submitted they must have the \n"
                          "appropriate header. Please amend the \n"
                          "details in the box on the left to reflect your \n"
                          "own situation, then hit the SAVE button. \n"
                          "This is your file header which will be \n"
                          "inserted into each observation report you \n"
                          "make. Do NOT change the 4th line or end \n"
                          "your typing with a carriage return, since \n"
                          "the app inserts this automatically!\n");
}

bool frmHeadertext::eventFilter(QObject *watched, QEvent *event)
{
    // Any key that types a character counts as an edit, except Ctrl+A (code 1);
    // keys without a character (arrows, Delete) do not.
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->text().isEmpty())
            return QWidget::eventFilter(watched, event);
        // Ctrl with a letter types the control code of that letter, whatever
        // text the platform reports for it.
        const bool ctrlLetter = key->modifiers().testFlag(Qt::ControlModifier) && key->key() >= Qt::Key_A
                                && key->key() <= Qt::Key_Z;
        const int code = ctrlLetter ? key->key() - Qt::Key_A + 1 : key->text().at(0).unicode();
        if (code != 1)
            m_save->setEnabled(true);
    }
    return QWidget::eventFilter(watched, event);
}

void frmHeadertext::save()
{
    const QString path = m_appFolder + QStringLiteral("/header.txt");
    QString text = m_text->toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const auto bytes = modProcesses::tocp1252(text);
    if (!bytes) {
        const QString bad = modProcesses::firstnotincp1252(text).value_or(QString());
        messageseam::ask(QStringLiteral("The header holds the character \"%1\", which a report file cannot hold. "
                                        "Replace it and save again.")
                             .arg(bad),
                         QStringLiteral("Header not saved"), QMessageBox::Warning);
        return;
    }
    // Written whole or not at all: a failed save leaves any earlier header as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        messageseam::ask(QStringLiteral("The header could not be saved as \"%1\": %2.\n\nYour text is still in "
                                        "the editor. Make the program's folder writable, then press Save again.")
                             .arg(path, file.errorString()),
                         QStringLiteral("Header not saved"), QMessageBox::Warning);
        return;
    }
    screens::show(QStringLiteral("frmStartup"));
    hide();
    close();
}
