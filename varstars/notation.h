// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace varstars
{
// An estimate as observers write it at the eyepiece, read where it is one of
// their notations: steps between two comparison stars, named by their labels
// ("110 2 V 1 116", "110(2)V(1)116", "11.0 2 V 1 11.6") or by the letters A
// and B of the first and second comparison star ("A 3 V 2 B"), in either
// order; equality ("V = 98", "V=A"); fainter than ("< 116", "V < 116").
// Anything else is free text and is never read.
struct Notation
{
    enum class Form { Steps, Equal, FainterThan };
    // A comparison star as written: its label in tenths, or the letter of
    // its comparison field.
    struct Star
    {
        // 'A' or 'B'; 0 for a label.
        char letter = 0;
        int tenths = 0;
    };
    Form form = Form::Steps;
    // Equality and fainter-than name the first only.
    Star first;
    Star second;
    // The variable's steps from the first star and from the second.
    int firstSteps = 0;
    int secondSteps = 0;
};

// Nothing for free text. The import writes "<" and a label with nothing
// between ("<140"): only a blank or a V before the label makes it a
// fainter-than notation.
std::optional<Notation> readNotation(QStringView text);

// The magnitude a notation gives, to the tenth the AAVSO asks of a visual
// estimate.
struct Reduction
{
    // m1 + s1 / (s1 + s2) * (m2 - m1) in whole tenths, computed exactly; a
    // half rounds away from zero.
    int tenths = 0;
    bool fainterThan = false;
    // The labels of the comparison stars in tenths, the brighter first.
    QList<int> labels;

    // "9.7", as the magnitude field takes it.
    QString magnitude() const;
    // The labels as the comparison fields hold them ("90", "100").
    QStringList labelTexts() const;
};

// The notation worked out, a letter taking the label of its comparison field
// (comp1 for A, comp2 for B; points dropped as the fields drop them); nothing
// when that field holds no label.
std::optional<Reduction> reduce(const Notation &notation, QStringView comp1, QStringView comp2);

// The estimate as written worked out, when it is a notation whose stars have
// labels.
std::optional<Reduction> workOut(QStringView written, QStringView comp1, QStringView comp2);
}
