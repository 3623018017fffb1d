// The palette: which button stands for which symbol code, and where it sits in the panel
// Frame6 (twips). Seven columns, a pitch of 600 twips; the first two cells of the last row
// belong to the language buttons, two more to the limits buttons Command58 and Command59.
#pragma once

#include <string>

#include "app/main_window.h"

namespace kel {

struct PaletteCell {
  CommandButton MainWindow::*button;
  int code;
  int left, top;
};

inline constexpr double kPaletteButtonSizeTw = 495;
// The face of Command10 is pale yellow (red 255, green 255, blue 192); every other white.
inline constexpr Colour kPaleYellow = 0xC0FFFF;

inline constexpr PaletteCell kPaletteCells[] = {
    {&MainWindow::Command8, 1006, 360, 1080},   {&MainWindow::Command7, 1004, 960, 1080},
    {&MainWindow::Command6, 1005, 1560, 1080},  {&MainWindow::Command20, 1015, 2160, 1080},
    {&MainWindow::Command1, 1001, 2760, 1080},  {&MainWindow::Command5, 1012, 3360, 1080},
    {&MainWindow::Command4, 1011, 3960, 1080},

    {&MainWindow::Command25, 1020, 360, 1680},  {&MainWindow::Command9, 1007, 960, 1680},
    {&MainWindow::Command19, 1014, 1560, 1680}, {&MainWindow::Command21, 1016, 2160, 1680},
    {&MainWindow::Command12, 1010, 2760, 1680}, {&MainWindow::Command22, 1017, 3360, 1680},
    {&MainWindow::Command23, 1018, 3960, 1680},

    {&MainWindow::Command18, 1013, 360, 2280},  {&MainWindow::Command28, 1026, 960, 2280},
    {&MainWindow::Command29, 1027, 1560, 2280}, {&MainWindow::Command30, 1028, 2160, 2280},
    {&MainWindow::Command31, 1030, 2760, 2280}, {&MainWindow::Command39, 1033, 3360, 2280},
    {&MainWindow::Command24, 1019, 3960, 2280},

    {&MainWindow::Command42, 1036, 360, 2880},  {&MainWindow::Command43, 1037, 960, 2880},
    {&MainWindow::Command54, 1048, 1560, 2880}, {&MainWindow::Command46, 1040, 2160, 2880},
    {&MainWindow::Command40, 1034, 2760, 2880}, {&MainWindow::Command41, 1035, 3360, 2880},
    {&MainWindow::Command27, 1022, 3960, 2880},

    {&MainWindow::Command48, 1042, 360, 3480},  {&MainWindow::Command49, 1043, 960, 3480},
    {&MainWindow::Command47, 1041, 1560, 3480}, {&MainWindow::Command50, 1044, 2160, 3480},
    {&MainWindow::Command51, 1045, 2760, 3480}, {&MainWindow::Command52, 1046, 3360, 3480},
    {&MainWindow::Command26, 1021, 3960, 3480},

    {&MainWindow::Command13, 1029, 360, 4080},  {&MainWindow::Command35, 1031, 960, 4080},
    {&MainWindow::Command45, 1039, 1560, 4080}, {&MainWindow::Command44, 1038, 2160, 4080},
    {&MainWindow::Command53, 1047, 2760, 4080}, {&MainWindow::Command57, 1051, 3360, 4080},
    {&MainWindow::Command55, 1049, 3960, 4080},

    {&MainWindow::Command56, 1050, 1560, 4680}, {&MainWindow::Command36, 1032, 2760, 4680},
    {&MainWindow::Command10, 2015, 3960, 4680},
};

// The limits buttons, in the last row between the integral and the sum.
inline constexpr PaletteCell kLimitsCells[] = {
    {&MainWindow::Command58, 1057, 2160, 4680},
    {&MainWindow::Command59, 1058, 3360, 4680},
};

// The picture of a button's face in Simbol/ ("btn" and the code it stands for).
inline std::string FaceName(int code) { return "btn" + std::to_string(code); }

}  // namespace kel
