// SPDX-License-Identifier: GPL-2.0-or-later
// The translation unit that builds a set of precompiled headers.
