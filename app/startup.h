// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <functional>

// What start-up makes sure of before the start screen is shown: the header
// (the editor opens when "header.txt" is missing), the database and the
// folders "starcharts" and "obs". An existing database is never touched.
namespace startup
{
struct Hooks
{
    // Runs at once when the header is missing; start-up does not wait for it.
    std::function<void()> headerMissing;
    // Sets the text of status-bar panel 1 or 2.
    std::function<void(int panel, const QString &text)> status;
};

// Returns what failed, one line per path, or an empty text.
QString prepare(const QString &appFolder, const Hooks &hooks);
}
