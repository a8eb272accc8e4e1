// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The brush's disc as the tests expect it, written out by hand: radius 8 about (10,10) on the
// 20x20 brush, 204 pixels. Rows as {row, first column, last column}, bounds inclusive.
#pragma once

namespace test {

constexpr int brush_rows[][3] = {{2, 8, 11},  {3, 6, 13},  {4, 5, 14},  {5, 4, 15},  {6, 3, 16},  {7, 3, 16},
                                 {8, 2, 17},  {9, 2, 17},  {10, 2, 17}, {11, 2, 17}, {12, 2, 17}, {13, 3, 16},
                                 {14, 3, 16}, {15, 4, 15}, {16, 5, 14}, {17, 6, 13}, {18, 8, 11}};

}  // namespace test
