// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QCheckBox>

namespace screenkit
{
// A check box whose box fills its height, so that it can be seen and hit at
// night as easily as the fields beside it.
class LargeCheckBox final : public QCheckBox
{
    Q_OBJECT

public:
    explicit LargeCheckBox(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
}
