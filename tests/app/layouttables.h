// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four worksheet layouts as designed: every label and shape of each
// report in stored order (# counts labels and shapes together), positions
// and sizes in millimetres relative to the title band, to 0.001 mm.
//
// Font codes: 'S' the stroke-order face, 'D' the dotted-outline face, 'K'
// the heading face. Colours are RGB (0xRRGGBB); kWindowText is the system's
// text colour. Character 0 marks a label that keeps its caption.
#include <cstdint>

namespace expected {

enum class Align { Left, Centre };
enum class Pen { Default, Gray, GrayDot };
enum class Brush { Default, Clear };

constexpr std::uint32_t kWindowText = 0xFFFFFFFFu;

struct ExpectedLabel {
    int no;
    const char *name;
    double left, top, width, height;
    char font;
    int fontSize;
    int fontHeight;
    std::uint32_t rgb;
    Align align;
    bool autoSize, wordWrap;
    const char *caption;
    int character;
};

struct ExpectedShape {
    int no;
    const char *name;
    double left, top, width, height;
    Pen pen;
    Brush brush;
};

const ExpectedLabel kLabels1[] = {
    {1, "A8", 80.433, 218.281, 56.885, 56.621, 'D', 160, -213, 0xBFBFBF, Align::Centre, true, true, "儲", 1},
    {2, "A7", 135.467, 164.306, 56.885, 56.621, 'S', 160, -213, 0x9D9D9D, Align::Centre, true, true, "儲", 1},
    {3, "A6", 81.756, 164.306, 56.885, 56.621, 'S', 160, -213, 0x9D9D9D, Align::Centre, true, true, "儲", 1},
    {4, "A5", -2.381, 172.773, 84.931, 113.242, 'S', 240, -320, 0x9D9D9D, Align::Left, true, true, "變", 1},
    {5, "A1", -0.265, 23.283, 84.931, 113.242, 'S', 240, -320, 0x9D9D9D, Align::Left, true, true, "變", 1},
    {6, "RpLabel12", 0.000, 0.000, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "班別：", 0},
    {8, "RpLabel13", 69.850, 0.000, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "姓名：", 0},
    {10, "A3", 137.583, 14.817, 56.885, 56.621, 'S', 160, -213, 0x9D9D9D, Align::Centre, true, true, "儲", 1},
    {11, "A2", 83.873, 14.817, 56.885, 56.621, 'S', 160, -213, 0x9D9D9D, Align::Centre, true, true, "儲", 1},
    {12, "A4", 82.550, 68.792, 56.885, 56.621, 'D', 160, -213, 0xBFBFBF, Align::Centre, true, true, "儲", 1},
    {20, "RpLabel17", 0.000, 151.606, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "班別：", 0},
    {21, "RpLabel18", 67.733, 151.606, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "姓名：", 0},
};
const ExpectedShape kShapes1[] = {
    {7, "RpShape58", 16.933, 6.615, 23.812, 0.265, Pen::Default, Brush::Default},
    {9, "RpShape59", 84.667, 5.556, 58.208, 0.265, Pen::Default, Brush::Default},
    {13, "RpShape60", 0.000, 17.462, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {14, "RpShape61", 0.000, 125.412, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {15, "RpShape62", 83.079, 68.792, 108.215, 0.265, Pen::Gray, Brush::Clear},
    {16, "RpShape63", 0.000, 17.462, 0.265, 108.215, Pen::Gray, Brush::Clear},
    {17, "RpShape64", 83.079, 17.462, 0.265, 108.215, Pen::Gray, Brush::Clear},
    {18, "RpShape65", 190.235, 17.462, 0.265, 108.215, Pen::Gray, Brush::Clear},
    {19, "RpShape66", 137.848, 17.462, 0.265, 108.215, Pen::Gray, Brush::Clear},
    {22, "RpShape67", 14.817, 156.104, 23.812, 0.265, Pen::Default, Brush::Default},
    {23, "RpShape68", 82.550, 155.046, 58.208, 0.265, Pen::Default, Brush::Default},
    {24, "RpShape69", 0.000, 166.952, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {25, "RpShape70", 0.000, 274.902, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {26, "RpShape71", 80.963, 218.281, 108.215, 0.265, Pen::Gray, Brush::Clear},
    {27, "RpShape72", 0.000, 166.952, 0.265, 108.215, Pen::Gray, Brush::Clear},
    {28, "RpShape73", 80.963, 166.952, 0.265, 108.215, Pen::Gray, Brush::Clear},
    {29, "RpShape74", 188.119, 166.952, 0.265, 108.215, Pen::Gray, Brush::Clear},
    {30, "RpShape75", 135.731, 166.952, 0.265, 108.215, Pen::Gray, Brush::Clear},
};
const ExpectedLabel kLabels2[] = {
    {1, "B2e", 142.610, 158.221, 47.625, 47.625, 'D', 120, -160, 0x9D9D9D, Align::Centre, false, true, "壞", 2},
    {2, "B1e", 94.985, 158.221, 47.625, 47.625, 'D', 120, -160, 0x9D9D9D, Align::Centre, false, false, "儲", 1},
    {3, "B2c", 142.500, 107.500, 47.500, 47.625, 'S', 120, -160, 0x9D9D9D, Align::Centre, false, true, "壞", 2},
    {4, "B1c", 95.000, 107.500, 47.500, 47.625, 'S', 120, -160, 0x9D9D9D, Align::Centre, false, false, "儲", 1},
    {5, "B2a", 94.985, 17.462, 95.000, 84.931, 'S', 240, -320, 0x9D9D9D, Align::Centre, false, true, "壞", 2},
    {6, "B2b", 47.500, 107.500, 47.500, 47.500, 'S', 120, -160, 0x9D9D9D, Align::Centre, false, true, "壞", 2},
    {7, "B1a", 0.000, 17.462, 95.000, 84.931, 'S', 240, -320, 0x9D9D9D, Align::Centre, false, true, "變", 1},
    {8, "RpLabel1", 0.000, 0.000, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "班別：", 0},
    {10, "RpLabel2", 69.850, 0.000, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "姓名：", 0},
    {12, "B1b", 0.000, 107.500, 47.500, 47.500, 'S', 120, -160, 0x9D9D9D, Align::Centre, false, false, "儲", 1},
    {23, "B2d", 47.625, 158.221, 47.625, 47.625, 'D', 120, -160, 0x9D9D9D, Align::Centre, false, true, "壞", 2},
    {24, "B1d", 0.000, 158.221, 47.625, 47.625, 'D', 120, -160, 0x9D9D9D, Align::Centre, false, false, "儲", 1},
};
const ExpectedShape kShapes2[] = {
    {9, "RpShape1", 16.933, 6.615, 23.812, 0.265, Pen::Default, Brush::Default},
    {11, "RpShape2", 84.667, 5.556, 58.208, 0.265, Pen::Default, Brush::Default},
    {13, "RpShape3", 0.000, 17.462, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {14, "RpShape4", 0.000, 102.500, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {15, "RpShape6", 0.000, 17.462, 0.265, 85.000, Pen::Gray, Brush::Clear},
    {16, "RpShape7", 95.000, 17.462, 0.265, 85.000, Pen::Gray, Brush::Clear},
    {17, "RpShape8", 190.235, 17.462, 0.265, 85.000, Pen::Gray, Brush::Clear},
    {18, "RpShape12", 0.000, 107.500, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {19, "RpShape5", 0.000, 154.781, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {20, "RpShape9", 94.900, 107.500, 0.265, 47.500, Pen::Gray, Brush::Clear},
    {21, "RpShape10", 0.000, 107.500, 0.265, 47.500, Pen::Gray, Brush::Clear},
    {22, "RpShape11", 190.000, 107.500, 0.265, 47.500, Pen::Gray, Brush::Clear},
    {25, "RpShape13", 0.000, 158.221, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {26, "RpShape14", 0.000, 205.581, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {27, "RpShape16", 94.985, 158.221, 0.265, 47.625, Pen::Gray, Brush::Clear},
    {28, "RpShape17", 0.000, 158.221, 0.265, 47.625, Pen::Gray, Brush::Clear},
    {29, "RpShape18", 189.971, 158.221, 0.265, 47.625, Pen::Gray, Brush::Clear},
    {30, "RpShape77", 0.000, 208.756, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {31, "RpShape78", 0.000, 256.117, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {32, "RpShape79", 94.985, 208.756, 0.265, 47.625, Pen::Gray, Brush::Clear},
    {33, "RpShape80", 0.000, 208.756, 0.265, 47.625, Pen::Gray, Brush::Clear},
    {34, "RpShape81", 189.971, 208.756, 0.265, 47.625, Pen::Gray, Brush::Clear},
    {35, "RpShape15", 0.000, 158.200, 0.265, 47.625, Pen::Gray, Brush::Clear},
    {36, "RpShape76", 0.000, 208.800, 0.265, 47.625, Pen::Gray, Brush::Clear},
    {37, "RpShape82", 47.500, 208.756, 0.265, 47.625, Pen::GrayDot, Brush::Clear},
    {38, "RpShape83", 142.500, 208.756, 0.265, 47.625, Pen::GrayDot, Brush::Clear},
    {39, "RpShape84", 142.500, 158.200, 0.265, 47.625, Pen::GrayDot, Brush::Clear},
    {40, "RpShape85", 47.500, 158.200, 0.265, 47.625, Pen::GrayDot, Brush::Clear},
    {41, "RpShape86", 142.500, 107.500, 0.265, 47.625, Pen::GrayDot, Brush::Clear},
    {42, "RpShape87", 47.500, 107.500, 0.265, 47.625, Pen::GrayDot, Brush::Clear},
};
const ExpectedLabel kLabels3[] = {
    {1, "C3b", 142.610, 66.940, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "入", 3},
    {2, "C2c", 47.625, 116.417, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "從", 2},
    {3, "C3c", 94.985, 116.417, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "口", 3},
    {4, "C3d", 142.500, 165.894, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "入", 3},
    {5, "C2d", 94.985, 165.894, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "口", 2},
    {6, "C1d", 47.625, 165.894, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "從", 1},
    {7, "C1c", 0.000, 116.417, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "病", 1},
    {20, "C1b", 47.500, 66.940, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "從", 1},
    {21, "C2b", 94.985, 66.940, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "口", 2},
    {22, "C2a", 47.625, 17.462, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "從", 2},
    {23, "C1a", 0.000, 17.462, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "病", 1},
    {24, "RpLabel23", 0.000, 0.000, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "班別：", 0},
    {26, "RpLabel24", 69.850, 0.000, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "姓名：", 0},
    {28, "C3a", 94.985, 17.462, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "口", 3},
};
const ExpectedShape kShapes3[] = {
    {8, "RpShape88", 0.000, 116.417, 142.500, 0.265, Pen::Gray, Brush::Clear},
    {9, "RpShape89", 0.000, 162.454, 142.500, 0.265, Pen::Gray, Brush::Clear},
    {10, "RpShape90", 0.000, 116.417, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {11, "RpShape91", 94.985, 116.417, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {12, "RpShape93", 142.346, 116.417, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {13, "RpShape94", 47.625, 116.417, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {14, "RpShape95", 47.625, 165.894, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {15, "RpShape96", 142.346, 165.894, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {16, "RpShape97", 190.235, 165.894, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {17, "RpShape98", 94.985, 165.894, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {18, "RpShape100", 47.500, 211.931, 142.500, 0.265, Pen::Gray, Brush::Clear},
    {19, "RpShape101", 47.500, 165.894, 142.500, 0.265, Pen::Gray, Brush::Clear},
    {25, "RpShape102", 16.933, 6.615, 23.812, 0.265, Pen::Default, Brush::Default},
    {27, "RpShape103", 84.667, 5.556, 58.208, 0.265, Pen::Default, Brush::Default},
    {29, "RpShape104", 0.000, 17.462, 142.500, 0.265, Pen::Gray, Brush::Clear},
    {30, "RpShape105", 0.000, 63.500, 142.500, 0.265, Pen::Gray, Brush::Clear},
    {31, "RpShape106", 0.000, 17.462, 0.265, 46.000, Pen::Gray, Brush::Clear},
    {32, "RpShape107", 94.900, 17.462, 0.200, 46.000, Pen::Gray, Brush::Clear},
    {33, "RpShape109", 142.400, 17.462, 0.265, 46.000, Pen::Gray, Brush::Clear},
    {34, "RpShape111", 47.600, 17.462, 0.200, 46.000, Pen::Gray, Brush::Clear},
    {35, "RpShape112", 47.625, 66.940, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {36, "RpShape113", 142.346, 66.940, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {37, "RpShape114", 190.235, 66.940, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {38, "RpShape115", 94.985, 66.940, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {39, "RpShape117", 47.500, 112.977, 142.500, 0.265, Pen::Gray, Brush::Clear},
    {40, "RpShape118", 47.500, 66.940, 142.500, 0.265, Pen::Gray, Brush::Clear},
    {41, "RpShape119", 0.000, 216.429, 0.265, 46.000, Pen::Gray, Brush::Clear},
    {42, "RpShape120", 47.625, 215.371, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {43, "RpShape121", 142.346, 215.371, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {44, "RpShape123", 94.985, 215.371, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {45, "RpShape124", 0.000, 215.371, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {46, "RpShape125", 0.000, 261.408, 142.500, 0.265, Pen::Gray, Brush::Clear},
    {47, "RpShape126", 0.000, 215.371, 142.500, 0.265, Pen::Gray, Brush::Clear},
};
const ExpectedLabel kLabels4[] = {
    {1, "D2c", 47.625, 116.417, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "從", 2},
    {2, "D1c", 0.000, 116.417, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "病", 1},
    {3, "D3c", 94.985, 116.417, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "口", 3},
    {4, "D4c", 142.610, 116.417, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "入", 4},
    {5, "D4d", 142.610, 165.894, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "入", 4},
    {6, "D3d", 94.985, 165.894, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "口", 3},
    {7, "D2d", 47.625, 165.894, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "從", 2},
    {8, "D1d", 1.852, 165.894, 47.890, 47.890, 'D', 135, -180, 0x9D9D9D, Align::Centre, false, false, "病", 1},
    {23, "D2b", 47.500, 66.940, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "從", 2},
    {24, "D4b", 142.610, 66.940, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "入", 4},
    {25, "D3b", 94.985, 66.940, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "口", 3},
    {26, "D2a", 47.625, 17.462, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "從", 2},
    {27, "D1a", 0.000, 17.462, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "病", 1},
    {28, "D4a", 142.610, 17.462, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "入", 4},
    {29, "RpLabel10", 0.000, 0.000, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "班別：", 0},
    {31, "RpLabel11", 69.850, 0.000, 17.727, 5.821, 'K', 16, -21, kWindowText, Align::Left, true, true, "姓名：", 0},
    {33, "D3a", 94.985, 17.462, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "口", 3},
    {42, "D1b", 0.000, 66.940, 47.890, 47.890, 'S', 135, -180, 0x9D9D9D, Align::Centre, false, false, "病", 1},
};
const ExpectedShape kShapes4[] = {
    {9, "RpShape35", 0.000, 116.417, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {10, "RpShape36", 0.000, 162.454, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {11, "RpShape38", 0.000, 116.417, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {12, "RpShape39", 94.985, 116.417, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {13, "RpShape40", 190.235, 116.417, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {14, "RpShape41", 142.346, 116.417, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {15, "RpShape42", 47.625, 116.417, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {16, "RpShape43", 47.625, 165.894, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {17, "RpShape44", 142.346, 165.894, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {18, "RpShape45", 190.235, 165.894, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {19, "RpShape46", 94.985, 165.894, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {20, "RpShape47", 0.000, 165.894, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {21, "RpShape48", 0.000, 211.931, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {22, "RpShape49", 0.000, 165.894, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {30, "RpShape19", 16.933, 6.615, 23.812, 0.265, Pen::Default, Brush::Default},
    {32, "RpShape20", 84.667, 5.556, 58.208, 0.265, Pen::Default, Brush::Default},
    {34, "RpShape21", 0.000, 17.462, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {35, "RpShape22", 0.000, 63.500, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {36, "RpShape24", 0.000, 17.462, 0.265, 46.000, Pen::Gray, Brush::Clear},
    {37, "RpShape25", 94.900, 17.462, 0.200, 46.000, Pen::Gray, Brush::Clear},
    {38, "RpShape26", 190.235, 17.462, 0.265, 46.000, Pen::Gray, Brush::Clear},
    {39, "RpShape27", 142.400, 17.462, 0.265, 46.000, Pen::Gray, Brush::Clear},
    {40, "RpShape33", 0.000, 166.952, 0.265, 46.000, Pen::Gray, Brush::Clear},
    {41, "RpShape37", 47.600, 17.462, 0.200, 46.000, Pen::Gray, Brush::Clear},
    {43, "RpShape23", 47.625, 66.940, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {44, "RpShape28", 142.346, 66.940, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {45, "RpShape29", 190.235, 66.940, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {46, "RpShape30", 94.985, 66.940, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {47, "RpShape31", 0.000, 66.940, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {48, "RpShape32", 0.000, 112.977, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {49, "RpShape34", 0.000, 66.940, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {50, "RpShape50", 0.000, 216.429, 0.265, 46.000, Pen::Gray, Brush::Clear},
    {51, "RpShape51", 47.625, 215.371, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {52, "RpShape52", 142.346, 215.371, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {53, "RpShape53", 190.235, 215.371, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {54, "RpShape54", 94.985, 215.371, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {55, "RpShape55", 0.000, 215.371, 0.265, 46.038, Pen::Gray, Brush::Clear},
    {56, "RpShape56", 0.000, 261.408, 190.235, 0.265, Pen::Gray, Brush::Clear},
    {57, "RpShape57", 0.000, 215.371, 190.235, 0.265, Pen::Gray, Brush::Clear},
};

} // namespace expected
