#pragma once
// The main window's layout, in twips relative to its client area, as it was
// drawn; also where the end-to-end tests find its controls.

#include "ui/twips.h"

namespace vesk {

// Controls in tab order.
struct MainLayout {
  TwipsRect client{0, 0, 9000, 7440};
  TwipsRect pic_plot{135, 1485, 8745, 5910};
  TwipsRect cmd_plotline{2475, 675, 1275, 465};
  TwipsRect txt_x1{360, 585, 555, 330};
  TwipsRect txt_x2{1620, 585, 555, 330};
  TwipsRect cmd_plotpoint{4185, 675, 1275, 465};
  TwipsRect txt_y1{360, 1035, 555, 330};
  TwipsRect txt_y2{1620, 1035, 555, 330};
  TwipsRect lbl_x1{90, 675, 210, 195};
  TwipsRect lbl_y2{90, 1080, 210, 195};
  TwipsRect lbl_y1{1305, 1080, 210, 195};
  TwipsRect lbl_x2{1305, 675, 210, 195};
  TwipsRect lbl_To{1395, 315, 300, 195};
  TwipsRect lbl_from{270, 315, 435, 195};
  TwipsRect txt_clarity{7830, 720, 1095, 330};
  TwipsRect cmd_saveplot{5940, 675, 1140, 465};
  TwipsRect cmd_about{7785, 45, 1140, 375};
  TwipsRect lbl_clarity{7290, 810, 450, 195};
  // The coordinates under the pointer, in the black band above the controls.
  TwipsRect lbl_coordinates{2700, 45, 4950, 240};
};
inline constexpr MainLayout kMainLayout;

}  // namespace vesk
