// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "numbox/numboxproperties.h"

#include <QFont>
#include <QPixmap>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>

class QLineEdit;
namespace hostkit
{
class LeaveCheck;
class PropertyBag;
}

namespace ferrow
{
// A single-line field that takes a whole number and, whenever the user leaves
// it, checks the number against minval and maxval. Its value is the text of
// the inner field txtTextBox; hosts read Text and convert it themselves.
//
// The Qt properties below are the control's property interface, in its order.
// Colours are OLE colour values: B*65536 + G*256 + R, or a system colour
// index with the high bit set (&H80000005 window background, &H80000008 window
// text). Writing a property that changes it emits PropertyChanged with the
// property's name.
class numbox final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool AutoRedraw READ AutoRedraw WRITE setAutoRedraw)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool CausesValidation READ CausesValidation WRITE setCausesValidation)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)
    Q_PROPERTY(int FillColor READ FillColor WRITE setFillColor)
    Q_PROPERTY(int FillStyle READ FillStyle WRITE setFillStyle)
    Q_PROPERTY(QFont Font READ Font WRITE setFontProperty)
    Q_PROPERTY(bool FontBold READ FontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ FontItalic WRITE setFontItalic)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
    Q_PROPERTY(float FontSize READ FontSize WRITE setFontSize)
    Q_PROPERTY(bool FontTransparent READ FontTransparent WRITE setFontTransparent)
    Q_PROPERTY(bool FontUnderline READ FontUnderline WRITE setFontUnderline)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(bool MultiLine READ MultiLine)
    Q_PROPERTY(int SelLength READ SelLength WRITE setSelLength)
    Q_PROPERTY(int SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(int WhatsThisHelpID READ WhatsThisHelpID WRITE setWhatsThisHelpID)
    Q_PROPERTY(int minval READ minval WRITE setMinval)
    Q_PROPERTY(int maxval READ maxval WRITE setMaxval)

public:
    explicit numbox(QWidget *parent = nullptr);

    QLineEdit *textBox() const;

    // Each property read, then written. 16-bit properties refuse values outside
    // -32768..32767; Alignment takes 0 left, 1 right, 2 centre; BorderStyle 0
    // none, 1 fixed single.
    int Alignment() const;
    void setAlignment(int value);
    bool AutoRedraw() const;
    void setAutoRedraw(bool value);
    uint BackColor() const;
    void setBackColor(uint value);
    int BackStyle() const;
    void setBackStyle(int value);
    int BorderStyle() const;
    void setBorderStyle(int value);
    bool CausesValidation() const;
    void setCausesValidation(bool value);
    bool Enabled() const;
    void setEnabledProperty(bool value);
    int FillColor() const;
    void setFillColor(int value);
    int FillStyle() const;
    void setFillStyle(int value);
    QFont Font() const;
    void setFontProperty(const QFont &value);
    bool FontBold() const;
    void setFontBold(bool value);
    bool FontItalic() const;
    void setFontItalic(bool value);
    QString FontName() const;
    void setFontName(const QString &value);
    float FontSize() const;
    void setFontSize(float value);
    bool FontTransparent() const;
    void setFontTransparent(bool value);
    bool FontUnderline() const;
    void setFontUnderline(bool value);
    uint ForeColor() const;
    void setForeColor(uint value);
    bool Locked() const;
    void setLocked(bool value);
    // 0 means no limit.
    int MaxLength() const;
    void setMaxLength(int value);
    QPixmap MouseIcon() const;
    void setMouseIcon(const QPixmap &value);
    bool MultiLine() const;
    int SelLength() const;
    void setSelLength(int value);
    int SelStart() const;
    void setSelStart(int value);
    QString SelText() const;
    void setSelText(const QString &value);
    QString Text() const;
    // Bypasses the key filter and checks nothing.
    void setText(const QString &value);
    QString ToolTipText() const;
    void setToolTipText(const QString &value);
    int WhatsThisHelpID() const;
    void setWhatsThisHelpID(int value);
    int minval() const;
    void setMinval(int value);
    int maxval() const;
    void setMaxval(int value);

    // Saved design properties: names of the property table, values equal to
    // their defaults omitted. Restoring marks nothing changed but MouseIcon.
    void readProperties(const hostkit::PropertyBag &bag);
    void writeProperties(hostkit::PropertyBag &bag) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Change();
    void Click();
    void DblClick();
    void GetDataMember(QString &DataMember, QVariant &Data);
    void InitProperties();
    // KeyCode is a Windows virtual-key code, Shift 1 shift + 2 ctrl + 4 alt.
    // A host that sets KeyCode to 0 cancels the key.
    void KeyDown(short &KeyCode, short &Shift);
    void KeyPress(short &KeyAscii);
    void KeyUp(short &KeyCode, short &Shift);
    // Button 1 left, 2 right, 4 middle; X and Y in twips.
    void MouseDown(short &Button, short &Shift, float &X, float &Y);
    void ReadProperties(hostkit::PropertyBag &PropBag);
    void Resize();
    // A host that sets Cancel keeps the focus in the field.
    void Validate(bool &Cancel);
    void WriteProperties(hostkit::PropertyBag &PropBag);

    void PropertyChanged(const QString &name);

protected:
    bool eventFilter(QObject *object, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool dropsSymbol(const QKeyEvent *event);
    void checkRange();
    QFont ambientFont() const;
    void markChanged(Property id);
    // Applies a value the property takes and that changes it, and marks the property changed.
    void change(Property id, bool changes, const std::function<void()> &apply);
    // Tells the host of the key by the signal; true when the host cancelled it.
    bool keyCancelled(void (numbox::*tell)(short &, short &), const QKeyEvent *key);

    void applyAlignment(int value);
    void applyColour(Property id, uint value);
    uint colour(Property id) const;
    void applyFont(const QFont &font);
    // Changes one part of the font; marks the property only when the font changed.
    void changeFont(Property id, const std::function<void(QFont &)> &change);
    void applyLocked(bool value);
    void applyMaxLength(int value);
    void applySelLength(int value);
    void applySelStart(int value);
    void applySelText(const QString &value);

    QLineEdit *m_text;
    hostkit::LeaveCheck *m_leaveCheck;
    bool m_minusTyped = false;
    bool m_restoring = false;
    // The held properties; the rest live on the inner field.
    bool m_autoRedraw;
    int m_backStyle;
    int m_fillColor;
    int m_fillStyle;
    bool m_fontTransparent;
    int m_minval;
    int m_maxval;
};
}
