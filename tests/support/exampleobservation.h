// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "observe/recording.h"

// The suites' example observation as the observation screen takes it: ss cyg
// on 5 January 2018 at 21:30, estimated between 110 and 115 on chart 1896.
inline observe::modEntryscreen::ObservationTexts exampleObservation()
{
    observe::modEntryscreen::ObservationTexts texts;
    texts.star = QStringLiteral("ss cyg");
    texts.year = QStringLiteral("2018");
    texts.month = QStringLiteral("1");
    texts.day = QStringLiteral("5");
    texts.hour = QStringLiteral("21");
    texts.minute = QStringLiteral("30");
    texts.estimate = QStringLiteral("110(1)115");
    texts.magnitude = QStringLiteral("11.2");
    texts.comp1 = QStringLiteral("110");
    texts.comp2 = QStringLiteral("115");
    texts.chart = QStringLiteral("1896");
    return texts;
}
