// SPDX-License-Identifier: GPL-2.0-or-later
QFile file(path);
QSettings settings(path, QSettings::IniFormat);
QImageReader reader(fileName);
QPixmap picture(path);
image.load(m_file);
std::ifstream in(path);
