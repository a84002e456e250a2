// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QPalette>

class QWidget;

// Night: while the observation screen is open, every window the program shows
// is drawn red and dark red on black, from the one table of night colours:
// the observer's eyes, adapted to the dark, must not meet white light.
namespace screenkit::night
{
// Night lasts while at least one Hold lives.
class Hold final
{
public:
    Hold();
    ~Hold();
    Q_DISABLE_COPY(Hold)
};

// Tells when night begins and ends, for surfaces that paint themselves.
class Mode final : public QObject
{
    Q_OBJECT

public:
    static Mode *instance();
    bool isOn() const;

signals:
    void changed(bool on);

private:
    explicit Mode(QObject *parent = nullptr);
    void begin();
    void end();

    int m_holds = 0;
    friend class Hold;
};

bool isOn();

// The colours a window or control has by day (the start screen's grey, say);
// at night the night palette takes their place.
void setDayPalette(QWidget *widget, const QPalette &palette);
}
