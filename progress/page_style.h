#pragma once
// The PROGRESS page's fonts and colours: the game's own faces and the colours
// its menu, report and walls already use, so the page looks like the game.

#include "platform/platform.h"

#include <string_view>

namespace progress {

constexpr std::string_view kTitleFace = "VERDANA";      // the scene's labels
constexpr std::string_view kBodyFace = "courier new";   // the menu
constexpr std::string_view kSmallFace = "COURIER NEW";  // the performance table

constexpr platform::Color kBackground = platform::Rgb(0, 0, 0);
constexpr platform::Color kText = platform::Rgb(255, 255, 255);            // the menu's text
constexpr platform::Color kHeading = platform::Rgb(255, 255, 80);          // the report's text
constexpr platform::Color kChosenKind = platform::Rgb(160, 160, 255);      // the report's current kind
constexpr platform::Color kHint = platform::Rgb(255, 150, 0);              // the menu's highlight
constexpr platform::Color kQuiet = platform::Rgb(150, 150, 160);           // explanations
constexpr platform::Color kPlotFill = platform::Rgb(18, 18, 30);
constexpr platform::Color kPlotFrame = platform::Rgb(70, 70, 90);
constexpr platform::Color kGridLine = platform::Rgb(45, 45, 62);
constexpr platform::Color kWonMark = platform::Rgb(0, 255, 255);           // wall 6, cyan
constexpr platform::Color kLostMark = platform::Rgb(255, 0, 255);          // wall 5, purple
constexpr platform::Color kMedianLine = platform::Rgb(249, 249, 0);        // wall 4, yellow
constexpr platform::Color kUnplayedTile = platform::Rgb(38, 38, 46);

}  // namespace progress
