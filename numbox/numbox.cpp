#include "numbox.h"

#include "keycodes.h"
#include "leavecheck.h"
#include "messageseam.h"
#include "olecolour.h"
#include "propertybag.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace
{
const char *const backColorName = "BackColor";
const char *const foreColorName = "ForeColor";
const char *const helpIdName = "WhatsThisHelpID";
// QLineEdit's own "no limit".
constexpr int unlimitedLength = 32767;
constexpr float twipsPerPixel = 15.0f;

bool isShort(int value)
{
    return value >= -32768 && value <= 32767;
}

// The leading number of the text: leading blanks, an optional sign, digits and
// a decimal part; 0 when the text does not begin with a number.
double leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        ++i;
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128)
        ++i;
    if (i < text.size() && text.at(i) == u'.') {
        ++i;
        while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128)
            ++i;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

Qt::Alignment qtAlignment(int alignment)
{
    switch (alignment) {
    case 1: return Qt::AlignRight | Qt::AlignVCenter;
    case 2: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}
}

namespace ferrow
{
numbox::numbox(QWidget *parent)
    : QWidget(parent)
    , m_text(new QLineEdit(this))
    , m_leaveCheck(new LeaveCheck(m_text))
{
    m_text->setObjectName(QStringLiteral("txtTextBox"));
    // Typed text reaches the field only through the key filter.
    m_text->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_text->setAcceptDrops(false);
    m_text->installEventFilter(this);
    m_text->setGeometry(contentsRect());
    setFocusPolicy(m_text->focusPolicy());
    setFocusProxy(m_text);

    connect(m_text, &QLineEdit::textChanged, this, &numbox::Change);
    connect(m_leaveCheck, &LeaveCheck::validate, this, [this](bool &cancel) { emit Validate(cancel); });
    connect(m_leaveCheck, &LeaveCheck::departed, this, &numbox::checkRange);
}

QLineEdit *numbox::textBox() const
{
    return m_text;
}

bool numbox::eventFilter(QObject *object, QEvent *event)
{
    if (object != m_text)
        return QWidget::eventFilter(object, event);

    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        short code = keycodes::virtualKey(key);
        short shift = keycodes::shiftState(key->modifiers());
        const short original = code;
        emit KeyDown(code, shift);
        if (code == 0 && original != 0)
            return true;
        return dropsSymbol(key);
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        short code = keycodes::virtualKey(key);
        short shift = keycodes::shiftState(key->modifiers());
        const short original = code;
        emit KeyUp(code, shift);
        return code == 0 && original != 0;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        short button = keycodes::mouseButton(mouse->button());
        short shift = keycodes::shiftState(mouse->modifiers());
        float x = static_cast<float>(mouse->position().x()) * twipsPerPixel;
        float y = static_cast<float>(mouse->position().y()) * twipsPerPixel;
        emit MouseDown(button, shift, x, y);
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && m_text->rect().contains(mouse->position().toPoint()))
            emit Click();
        return false;
    }
    case QEvent::MouseButtonDblClick:
        emit DblClick();
        return false;
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

// The key filter: Backspace, digits, and one minus sign per instance typed at
// the start; every other symbol is dropped. Keys that type no symbol pass.
bool numbox::dropsSymbol(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return false;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    if (text.size() != 1)
        return true;
    const char16_t symbol = text.at(0).unicode();
    if (symbol == 8 || (symbol >= u'0' && symbol <= u'9'))
        return false;
    if (symbol == u'-' && SelStart() == 0 && !m_minusTyped) {
        m_minusTyped = true;
        return false;
    }
    return true;
}

void numbox::checkRange()
{
    const QString title = QStringLiteral("Number out of Range");
    if (leadingNumber(m_text->text()) < m_minval) {
        messageseam::ask(QStringLiteral("Number is smaller than the minimum allowable value"), title,
                         QMessageBox::Information, QMessageBox::Ok);
        m_text->setText(QString());
        m_text->setFocus(Qt::OtherFocusReason);
    }
    if (leadingNumber(m_text->text()) > m_maxval) {
        messageseam::ask(QStringLiteral("Number is greater than the maximum allowable value"), title,
                         QMessageBox::Information, QMessageBox::Ok);
        m_text->setText(QString());
        m_text->setFocus(Qt::OtherFocusReason);
    }
}

void numbox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_text->setGeometry(contentsRect());
}

QSize numbox::sizeHint() const
{
    return m_text->sizeHint();
}

QSize numbox::minimumSizeHint() const
{
    return m_text->minimumSizeHint();
}

QFont numbox::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

void numbox::markChanged(const char *name)
{
    emit PropertyChanged(QString::fromLatin1(name));
}

int numbox::Alignment() const
{
    const Qt::Alignment horizontal = m_text->alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight)
        return 1;
    if (horizontal & Qt::AlignHCenter)
        return 2;
    return 0;
}

bool numbox::AutoRedraw() const
{
    return m_autoRedraw;
}

uint numbox::BackColor() const
{
    return colour(backColorName, SystemWindowBackground);
}

int numbox::BackStyle() const
{
    return m_backStyle;
}

int numbox::BorderStyle() const
{
    return m_text->hasFrame() ? 1 : 0;
}

bool numbox::CausesValidation() const
{
    return LeaveCheck::causesValidation(m_text);
}

bool numbox::Enabled() const
{
    return !m_text->testAttribute(Qt::WA_ForceDisabled);
}

int numbox::FillColor() const
{
    return m_fillColor;
}

int numbox::FillStyle() const
{
    return m_fillStyle;
}

QFont numbox::Font() const
{
    return m_text->font();
}

bool numbox::FontBold() const
{
    return m_text->font().bold();
}

bool numbox::FontItalic() const
{
    return m_text->font().italic();
}

QString numbox::FontName() const
{
    return m_text->font().family();
}

float numbox::FontSize() const
{
    return static_cast<float>(m_text->font().pointSizeF());
}

bool numbox::FontTransparent() const
{
    return m_fontTransparent;
}

bool numbox::FontUnderline() const
{
    return m_text->font().underline();
}

uint numbox::ForeColor() const
{
    return colour(foreColorName, SystemWindowText);
}

bool numbox::Locked() const
{
    return m_text->isReadOnly();
}

int numbox::MaxLength() const
{
    return m_text->maxLength() == unlimitedLength ? 0 : m_text->maxLength();
}

QPixmap numbox::MouseIcon() const
{
    if (!m_text->testAttribute(Qt::WA_SetCursor) || m_text->cursor().shape() != Qt::BitmapCursor)
        return {};
    return m_text->cursor().pixmap();
}

// QLineEdit has no multi-line mode.
bool numbox::MultiLine() const
{
    return false;
}

int numbox::SelLength() const
{
    return static_cast<int>(m_text->selectedText().size());
}

int numbox::SelStart() const
{
    return m_text->hasSelectedText() ? m_text->selectionStart() : m_text->cursorPosition();
}

QString numbox::SelText() const
{
    return m_text->selectedText();
}

QString numbox::Text() const
{
    return m_text->text();
}

QString numbox::ToolTipText() const
{
    return m_text->toolTip();
}

int numbox::WhatsThisHelpID() const
{
    return m_text->property(helpIdName).toInt();
}

int numbox::minval() const
{
    return m_minval;
}

int numbox::maxval() const
{
    return m_maxval;
}

void numbox::setAlignment(int value)
{
    if (value < 0 || value > 2 || value == Alignment())
        return;
    applyAlignment(value);
    markChanged("Alignment");
}

void numbox::setAutoRedraw(bool value)
{
    if (value == m_autoRedraw)
        return;
    m_autoRedraw = value;
    markChanged("AutoRedraw");
}

void numbox::setBackColor(uint value)
{
    if (value == BackColor())
        return;
    applyColour(backColorName, value);
    markChanged(backColorName);
}

void numbox::setBackStyle(int value)
{
    if (!isShort(value) || value == m_backStyle)
        return;
    m_backStyle = value;
    markChanged("BackStyle");
}

void numbox::setBorderStyle(int value)
{
    if (value < 0 || value > 1 || value == BorderStyle())
        return;
    m_text->setFrame(value == 1);
    markChanged("BorderStyle");
}

void numbox::setCausesValidation(bool value)
{
    if (value == CausesValidation())
        return;
    LeaveCheck::setCausesValidation(m_text, value);
    markChanged("CausesValidation");
}

void numbox::setEnabledProperty(bool value)
{
    if (value == Enabled())
        return;
    m_text->setEnabled(value);
    markChanged("Enabled");
}

void numbox::setFillColor(int value)
{
    if (value == m_fillColor)
        return;
    m_fillColor = value;
    markChanged("FillColor");
}

void numbox::setFillStyle(int value)
{
    if (!isShort(value) || value == m_fillStyle)
        return;
    m_fillStyle = value;
    markChanged("FillStyle");
}

void numbox::setFontProperty(const QFont &value)
{
    if (value == m_text->font())
        return;
    applyFont(value);
    markChanged("Font");
}

void numbox::setFontBold(bool value)
{
    if (value == FontBold())
        return;
    QFont font = m_text->font();
    font.setBold(value);
    applyFont(font);
    markChanged("FontBold");
}

void numbox::setFontItalic(bool value)
{
    if (value == FontItalic())
        return;
    QFont font = m_text->font();
    font.setItalic(value);
    applyFont(font);
    markChanged("FontItalic");
}

void numbox::setFontName(const QString &value)
{
    if (value.isEmpty() || value == FontName())
        return;
    QFont font = m_text->font();
    font.setFamilies({value});
    applyFont(font);
    markChanged("FontName");
}

void numbox::setFontSize(float value)
{
    if (value <= 0 || value == FontSize())
        return;
    QFont font = m_text->font();
    font.setPointSizeF(value);
    applyFont(font);
    markChanged("FontSize");
}

void numbox::setFontTransparent(bool value)
{
    if (value == m_fontTransparent)
        return;
    m_fontTransparent = value;
    markChanged("FontTransparent");
}

void numbox::setFontUnderline(bool value)
{
    if (value == FontUnderline())
        return;
    QFont font = m_text->font();
    font.setUnderline(value);
    applyFont(font);
    markChanged("FontUnderline");
}

void numbox::setForeColor(uint value)
{
    if (value == ForeColor())
        return;
    applyColour(foreColorName, value);
    markChanged(foreColorName);
}

void numbox::setLocked(bool value)
{
    if (value == Locked())
        return;
    applyLocked(value);
    markChanged("Locked");
}

void numbox::setMaxLength(int value)
{
    if (value < 0 || value == MaxLength())
        return;
    applyMaxLength(value);
    markChanged("MaxLength");
}

void numbox::setMouseIcon(const QPixmap &value)
{
    if (PropertyBag::sameValue(value, MouseIcon()))
        return;
    if (value.isNull())
        m_text->unsetCursor();
    else
        m_text->setCursor(QCursor(value));
    markChanged("MouseIcon");
}

void numbox::setSelLength(int value)
{
    if (value < 0 || qMin(value, static_cast<int>(m_text->text().size()) - SelStart()) == SelLength())
        return;
    applySelLength(value);
    markChanged("SelLength");
}

void numbox::setSelStart(int value)
{
    if (value < 0 || (value == SelStart() && !m_text->hasSelectedText()))
        return;
    applySelStart(value);
    markChanged("SelStart");
}

void numbox::setSelText(const QString &value)
{
    if (value.isEmpty() && !m_text->hasSelectedText())
        return;
    applySelText(value);
    markChanged("SelText");
}

void numbox::setText(const QString &value)
{
    if (value == m_text->text())
        return;
    m_text->setText(value);
    markChanged("Text");
}

void numbox::setToolTipText(const QString &value)
{
    if (value == ToolTipText())
        return;
    m_text->setToolTip(value);
    markChanged("ToolTipText");
}

void numbox::setWhatsThisHelpID(int value)
{
    if (value == WhatsThisHelpID())
        return;
    m_text->setProperty(helpIdName, value);
    markChanged(helpIdName);
}

void numbox::setMinval(int value)
{
    if (!isShort(value) || value == m_minval)
        return;
    m_minval = value;
    markChanged("minval");
}

void numbox::setMaxval(int value)
{
    if (!isShort(value) || value == m_maxval)
        return;
    m_maxval = value;
    markChanged("maxval");
}

void numbox::applyAlignment(int value)
{
    m_text->setAlignment(qtAlignment(value));
}

// Qt palettes cannot refer to a system colour, so the OLE value itself is
// kept on the inner field and its colour put into the palette.
void numbox::applyColour(const char *name, uint value)
{
    m_text->setProperty(name, value);
    const QPalette::ColorRole role = qstrcmp(name, backColorName) == 0 ? QPalette::Base : QPalette::Text;
    QPalette palette = m_text->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, oleColour(value, group));
    m_text->setPalette(palette);
}

uint numbox::colour(const char *name, uint defaultValue) const
{
    const QVariant value = m_text->property(name);
    return value.isValid() ? value.toUInt() : defaultValue;
}

void numbox::applyFont(const QFont &font)
{
    m_text->setFont(font);
}

// QLineEdit turns input methods back on when its read-only state changes.
void numbox::applyLocked(bool value)
{
    m_text->setReadOnly(value);
    m_text->setAttribute(Qt::WA_InputMethodEnabled, false);
}

void numbox::applyMaxLength(int value)
{
    m_text->setMaxLength(value == 0 ? unlimitedLength : value);
}

void numbox::applySelLength(int value)
{
    const int start = SelStart();
    const int length = qMin(value, static_cast<int>(m_text->text().size()) - start);
    if (length <= 0)
        m_text->setCursorPosition(start);
    else
        m_text->setSelection(start, length);
}

void numbox::applySelStart(int value)
{
    m_text->setCursorPosition(qMin(value, static_cast<int>(m_text->text().size())));
}

void numbox::applySelText(const QString &value)
{
    m_text->insert(value);
}

void numbox::readProperties(const PropertyBag &bag)
{
    applyAlignment(bag.read(QStringLiteral("Alignment"), 0).toInt());
    m_autoRedraw = bag.read(QStringLiteral("AutoRedraw"), false).toBool();
    applyColour(backColorName, bag.read(QLatin1String(backColorName), SystemWindowBackground).toUInt());
    m_backStyle = bag.read(QStringLiteral("BackStyle"), 0).toInt();
    m_text->setFrame(bag.read(QStringLiteral("BorderStyle"), 1).toInt() != 0);
    LeaveCheck::setCausesValidation(m_text, bag.read(QStringLiteral("CausesValidation"), true).toBool());
    m_text->setEnabled(bag.read(QStringLiteral("Enabled"), true).toBool());
    m_fillColor = bag.read(QStringLiteral("FillColor"), 0).toInt();
    m_fillStyle = bag.read(QStringLiteral("FillStyle"), 0).toInt();

    // The font object first, so that the four font properties win over it.
    QFont font = bag.read(QStringLiteral("Font"), ambientFont()).value<QFont>();
    font.setBold(bag.read(QStringLiteral("FontBold"), false).toBool());
    font.setItalic(bag.read(QStringLiteral("FontItalic"), false).toBool());
    const QString fontName = bag.read(QStringLiteral("FontName"), QString()).toString();
    if (!fontName.isEmpty())
        font.setFamilies({fontName});
    const double fontSize = bag.read(QStringLiteral("FontSize"), 0.0).toDouble();
    if (fontSize > 0)
        font.setPointSizeF(fontSize);
    m_fontTransparent = bag.read(QStringLiteral("FontTransparent"), false).toBool();
    font.setUnderline(bag.read(QStringLiteral("FontUnderline"), false).toBool());
    applyFont(font);

    applyColour(foreColorName, bag.read(QLatin1String(foreColorName), SystemWindowText).toUInt());
    applyLocked(bag.read(QStringLiteral("Locked"), false).toBool());
    applyMaxLength(bag.read(QStringLiteral("MaxLength"), 0).toInt());
    setMouseIcon(bag.read(QStringLiteral("MouseIcon"), QPixmap()).value<QPixmap>());
    applySelLength(bag.read(QStringLiteral("SelLength"), 0).toInt());
    applySelStart(bag.read(QStringLiteral("SelStart"), 0).toInt());
    applySelText(bag.read(QStringLiteral("SelText"), QString()).toString());
    m_text->setText(bag.read(QStringLiteral("Text"), QString()).toString());
    m_text->setToolTip(bag.read(QStringLiteral("ToolTipText"), QString()).toString());
    m_text->setProperty(helpIdName, bag.read(QLatin1String(helpIdName), 0).toInt());
    m_minval = bag.read(QStringLiteral("minval"), -90).toInt();
    m_maxval = bag.read(QStringLiteral("maxval"), 90).toInt();
}

void numbox::writeProperties(PropertyBag &bag) const
{
    bag.write(QStringLiteral("Alignment"), Alignment(), 0);
    bag.write(QStringLiteral("AutoRedraw"), m_autoRedraw, false);
    bag.write(QLatin1String(backColorName), BackColor(), SystemWindowBackground);
    bag.write(QStringLiteral("BackStyle"), m_backStyle, 0);
    bag.write(QStringLiteral("BorderStyle"), BorderStyle(), 1);
    bag.write(QStringLiteral("CausesValidation"), CausesValidation(), true);
    bag.write(QStringLiteral("Enabled"), Enabled(), true);
    bag.write(QStringLiteral("FillColor"), m_fillColor, 0);
    bag.write(QStringLiteral("FillStyle"), m_fillStyle, 0);
    bag.write(QStringLiteral("Font"), Font(), ambientFont());
    bag.write(QStringLiteral("FontBold"), FontBold(), false);
    bag.write(QStringLiteral("FontItalic"), FontItalic(), false);
    bag.write(QStringLiteral("FontName"), FontName(), QString());
    bag.write(QStringLiteral("FontSize"), FontSize(), 0.0);
    bag.write(QStringLiteral("FontTransparent"), m_fontTransparent, false);
    bag.write(QStringLiteral("FontUnderline"), FontUnderline(), false);
    bag.write(QLatin1String(foreColorName), ForeColor(), SystemWindowText);
    bag.write(QStringLiteral("Locked"), Locked(), false);
    bag.write(QStringLiteral("MaxLength"), MaxLength(), 0);
    bag.write(QStringLiteral("MouseIcon"), MouseIcon(), QPixmap());
    bag.write(QStringLiteral("SelLength"), SelLength(), 0);
    bag.write(QStringLiteral("SelStart"), SelStart(), 0);
    bag.write(QStringLiteral("SelText"), SelText(), QString());
    bag.write(QStringLiteral("Text"), Text(), QString());
    bag.write(QStringLiteral("ToolTipText"), ToolTipText(), QString());
    bag.write(QLatin1String(helpIdName), WhatsThisHelpID(), 0);
    bag.write(QStringLiteral("minval"), m_minval, -90);
    bag.write(QStringLiteral("maxval"), m_maxval, 90);
}
}
