// SPDX-License-Identifier: GPL-2.0-or-later
#include "numbox/numbox.h"

#include "numbox/numboxproperties.h"

#include "hostkit/leavecheck.h"
#include "hostkit/messageseam.h"
#include "hostkit/propertybag.h"
#include "numbox/keycodes.h"
#include "numbox/olecolour.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace
{
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
    , m_leaveCheck(new hostkit::LeaveCheck(m_text))
    , m_autoRedraw(info(Property::AutoRedraw).defaultValue.toBool())
    , m_backStyle(info(Property::BackStyle).defaultValue.toInt())
    , m_fillColor(info(Property::FillColor).defaultValue.toInt())
    , m_fillStyle(info(Property::FillStyle).defaultValue.toInt())
    , m_fontTransparent(info(Property::FontTransparent).defaultValue.toBool())
    , m_minval(info(Property::minval).defaultValue.toInt())
    , m_maxval(info(Property::maxval).defaultValue.toInt())
{
    m_text->setObjectName(QStringLiteral("txtTextBox"));
    // Typed text reaches the field only through the key filter.
    m_text->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_text->setAcceptDrops(false);
    // Its Paste would pass the key filter by.
    m_text->setContextMenuPolicy(Qt::NoContextMenu);
    m_text->installEventFilter(this);
    m_text->setGeometry(contentsRect());
    setFocusPolicy(m_text->focusPolicy());
    setFocusProxy(m_text);

    connect(m_text, &QLineEdit::textChanged, this, &numbox::Change);
    connect(m_leaveCheck, &hostkit::LeaveCheck::validate, this, [this](bool &cancel) { emit Validate(cancel); });
    connect(m_leaveCheck, &hostkit::LeaveCheck::departed, this, &numbox::checkRange);
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
        // Shift+Insert and the Paste key type no symbol, but would insert the clipboard.
        return keyCancelled(&numbox::KeyDown, key) || key->matches(QKeySequence::Paste) || dropsSymbol(key);
    }
    case QEvent::KeyRelease: return keyCancelled(&numbox::KeyUp, static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        short button = keycodes::mouseButton(mouse->button());
        short shift = keycodes::shiftState(mouse->modifiers());
        float x = static_cast<float>(mouse->position().x()) * twipsPerPixel;
        float y = static_cast<float>(mouse->position().y()) * twipsPerPixel;
        emit MouseDown(button, shift, x, y);
        // The middle button pastes the X11 selection on its release.
        return mouse->button() == Qt::MiddleButton;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && m_text->rect().contains(mouse->position().toPoint()))
            emit Click();
        return mouse->button() == Qt::MiddleButton;
    }
    case QEvent::MouseButtonDblClick: emit DblClick(); return false;
    case QEvent::InputMethod: return true;
    default: return false;
    }
}

bool numbox::keyCancelled(void (numbox::*tell)(short &, short &), const QKeyEvent *key)
{
    short code = keycodes::virtualKey(key);
    short shift = keycodes::shiftState(key->modifiers());
    const short original = code;
    emit(this->*tell)(code, shift);
    return code == 0 && original != 0;
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
    case Qt::Key_Delete: return false;
    default: break;
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
        hostkit::ask(QStringLiteral("Number is smaller than the minimum allowable value"), title,
                     QMessageBox::Information, QMessageBox::Ok);
        m_text->setText(QString());
        m_text->setFocus(Qt::OtherFocusReason);
    }
    if (leadingNumber(m_text->text()) > m_maxval) {
        hostkit::ask(QStringLiteral("Number is greater than the maximum allowable value"), title,
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

void numbox::markChanged(Property id)
{
    // A restored design is no change, but the picture goes through its property.
    if (m_restoring && id != Property::MouseIcon)
        return;
    emit PropertyChanged(QString::fromLatin1(info(id).name));
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
    return colour(Property::BackColor);
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
    return hostkit::LeaveCheck::causesValidation(m_text);
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
    return colour(Property::ForeColor);
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
    return m_text->property(info(Property::WhatsThisHelpID).name).toInt();
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
    change(Property::Alignment, value >= 0 && value <= 2 && value != Alignment(), [&] { applyAlignment(value); });
}

void numbox::setAutoRedraw(bool value)
{
    change(Property::AutoRedraw, value != m_autoRedraw, [&] { m_autoRedraw = value; });
}

void numbox::setBackColor(uint value)
{
    change(Property::BackColor, value != BackColor(), [&] { applyColour(Property::BackColor, value); });
}

void numbox::setBackStyle(int value)
{
    change(Property::BackStyle, isShort(value) && value != m_backStyle, [&] { m_backStyle = value; });
}

void numbox::setBorderStyle(int value)
{
    change(Property::BorderStyle, value >= 0 && value <= 1 && value != BorderStyle(),
           [&] { m_text->setFrame(value == 1); });
}

void numbox::setCausesValidation(bool value)
{
    change(Property::CausesValidation, value != CausesValidation(),
           [&] { hostkit::LeaveCheck::setCausesValidation(m_text, value); });
}

void numbox::setEnabledProperty(bool value)
{
    change(Property::Enabled, value != Enabled(), [&] { m_text->setEnabled(value); });
}

void numbox::setFillColor(int value)
{
    change(Property::FillColor, value != m_fillColor, [&] { m_fillColor = value; });
}

void numbox::setFillStyle(int value)
{
    change(Property::FillStyle, isShort(value) && value != m_fillStyle, [&] { m_fillStyle = value; });
}

void numbox::setFontProperty(const QFont &value)
{
    change(Property::Font, value != m_text->font(), [&] { applyFont(value); });
}

void numbox::setFontBold(bool value)
{
    changeFont(Property::FontBold, [value](QFont &font) { font.setBold(value); });
}

void numbox::setFontItalic(bool value)
{
    changeFont(Property::FontItalic, [value](QFont &font) { font.setItalic(value); });
}

void numbox::setFontName(const QString &value)
{
    if (!value.isEmpty())
        changeFont(Property::FontName, [&value](QFont &font) { font.setFamilies({value}); });
}

void numbox::setFontSize(float value)
{
    if (value > 0)
        changeFont(Property::FontSize, [value](QFont &font) { font.setPointSizeF(value); });
}

void numbox::setFontTransparent(bool value)
{
    change(Property::FontTransparent, value != m_fontTransparent, [&] { m_fontTransparent = value; });
}

void numbox::setFontUnderline(bool value)
{
    changeFont(Property::FontUnderline, [value](QFont &font) { font.setUnderline(value); });
}

void numbox::setForeColor(uint value)
{
    change(Property::ForeColor, value != ForeColor(), [&] { applyColour(Property::ForeColor, value); });
}

void numbox::setLocked(bool value)
{
    change(Property::Locked, value != Locked(), [&] { applyLocked(value); });
}

void numbox::setMaxLength(int value)
{
    change(Property::MaxLength, value >= 0 && value != MaxLength(), [&] { applyMaxLength(value); });
}

void numbox::setMouseIcon(const QPixmap &value)
{
    change(Property::MouseIcon, !hostkit::PropertyBag::sameValue(value, MouseIcon()), [&] {
        if (value.isNull())
            m_text->unsetCursor();
        else
            m_text->setCursor(QCursor(value));
    });
}

void numbox::setSelLength(int value)
{
    change(Property::SelLength,
           value >= 0 && qMin(value, static_cast<int>(m_text->text().size()) - SelStart()) != SelLength(),
           [&] { applySelLength(value); });
}

void numbox::setSelStart(int value)
{
    change(Property::SelStart, value >= 0 && (value != SelStart() || m_text->hasSelectedText()),
           [&] { applySelStart(value); });
}

void numbox::setSelText(const QString &value)
{
    change(Property::SelText, !value.isEmpty() || m_text->hasSelectedText(), [&] { applySelText(value); });
}

void numbox::setText(const QString &value)
{
    change(Property::Text, value != m_text->text(), [&] { m_text->setText(value); });
}

void numbox::setToolTipText(const QString &value)
{
    change(Property::ToolTipText, value != ToolTipText(), [&] { m_text->setToolTip(value); });
}

void numbox::setWhatsThisHelpID(int value)
{
    change(Property::WhatsThisHelpID, value != WhatsThisHelpID(),
           [&] { m_text->setProperty(info(Property::WhatsThisHelpID).name, value); });
}

void numbox::setMinval(int value)
{
    change(Property::minval, isShort(value) && value != m_minval, [&] { m_minval = value; });
}

void numbox::setMaxval(int value)
{
    change(Property::maxval, isShort(value) && value != m_maxval, [&] { m_maxval = value; });
}

void numbox::applyAlignment(int value)
{
    m_text->setAlignment(qtAlignment(value));
}

// Qt palettes cannot refer to a system colour, so the OLE value itself is
// kept on the inner field and its colour put into the palette.
void numbox::applyColour(Property id, uint value)
{
    m_text->setProperty(info(id).name, value);
    const QPalette::ColorRole role = id == Property::BackColor ? QPalette::Base : QPalette::Text;
    QPalette palette = m_text->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, oleColour(value, group));
    m_text->setPalette(palette);
}

uint numbox::colour(Property id) const
{
    const QVariant value = m_text->property(info(id).name);
    return value.isValid() ? value.toUInt() : info(id).defaultValue.toUInt();
}

void numbox::applyFont(const QFont &font)
{
    m_text->setFont(font);
}

void numbox::change(Property id, bool changes, const std::function<void()> &apply)
{
    if (!changes)
        return;
    apply();
    markChanged(id);
}

void numbox::changeFont(Property id, const std::function<void(QFont &)> &change)
{
    QFont font = m_text->font();
    change(font);
    if (font == m_text->font())
        return;
    applyFont(font);
    markChanged(id);
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

void numbox::readProperties(const hostkit::PropertyBag &bag)
{
    // In interface order, so the font object comes before the four font
    // properties that win over it.
    m_restoring = true;
    for (const PropertyInfo &property : properties()) {
        if (!property.saved)
            continue;
        const QVariant fallback = property.id == Property::Font ? QVariant(ambientFont()) : property.defaultValue;
        setProperty(property.name, bag.read(QLatin1String(property.name), fallback));
    }
    m_restoring = false;
}

void numbox::writeProperties(hostkit::PropertyBag &bag) const
{
    for (const PropertyInfo &property : properties()) {
        if (!property.saved)
            continue;
        const QVariant fallback = property.id == Property::Font ? QVariant(ambientFont()) : property.defaultValue;
        bag.write(QLatin1String(property.name), this->property(property.name), fallback);
    }
}
}
