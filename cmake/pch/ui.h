// SPDX-License-Identifier: GPL-2.0-or-later
// Precompiled for screens and controls: Qt Core, Gui and Widgets.
#pragma once
#include "cmake/pch/core.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QWidget>
