#pragma once

#include <QString>

class QLabel;

// What start-up makes sure of before the start screen is shown: the header
// (the editor opens when "header.txt" is missing), the database and the
// folders "starcharts" and "obs". An existing database is never touched.
namespace startup
{
struct StatusPanels
{
    QLabel *panel1;
    QLabel *panel2;
};

// Returns what failed, one line per path, or an empty text.
QString prepare(const QString &appFolder, const StatusPanels &panels);
}
