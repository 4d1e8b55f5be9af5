// The three windows of the program as constant data: every control and menu
// item with its identifier, place, caption and style. Which routine each event
// runs is bound beside the routines.
#pragma once

#include <cstdint>

#include "app/control_ids.h"
#include "ui/model.h"

// Resource ids shared by the layouts and the resource script.
inline constexpr int kBannerResource = 101;

extern const ui::WindowLayout kMainWindowLayout;
extern const ui::WindowLayout kSettingsWindowLayout;
extern const ui::WindowLayout kAboutWindowLayout;
