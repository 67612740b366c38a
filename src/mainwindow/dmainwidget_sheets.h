#pragma once

// Style-sheet templates that the form's defaults and the theme share; %n are filled with arg().
namespace DMainWidgetSheets {

inline const char *const kRightArea =
    "QFrame#frame_RightAreaABC{border-top-right-radius: 12px; border-bottom-right-radius: 12px;}";

inline const char *const kMetricBar =
    "QProgressBar{background-color: rgb(%1, %2, %3); border-radius: 4px;}"
    "QProgressBar::chunk{background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0.0568182 rgba(%4, %5, %6, 255), stop:0.914773 rgba(%7, %8, %9, 255)); border-radius: 4px;}";

inline const char *const kMenuFixedRed =
    "QPushButton{color: rgb(%1, %2, %3); border: 2px solid rgb(102, 102, 102); border-radius: 8px;}"
    "QPushButton:hover{color: rgb(%1, %2, %3); border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, "
    "y2:0, stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 8px;}"
    "QPushButton:pressed{color: rgb(%1, %2, %3); border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, "
    "y2:0, stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 8px;}"
    "QPushButton:checked{color: rgb(%1, %2, %3); border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, "
    "y2:0, stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 8px;}";

} // namespace DMainWidgetSheets
