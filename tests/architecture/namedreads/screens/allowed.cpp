// SPDX-License-Identifier: GPL-2.0-or-later
QFile design(QStringLiteral(":/screens/design"));
QFile report;
QImageReader reader(&report);
QSettings settings(QSettings::IniFormat, QSettings::UserScope, org, app);
// QFile file(path); in a comment
