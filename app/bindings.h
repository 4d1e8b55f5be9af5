// Which routine each event of the three windows runs.
#pragma once

#include <span>

#include "ui/model.h"

extern const std::span<const ui::Binding> kMainWindowBindings;
extern const std::span<const ui::Binding> kSettingsWindowBindings;
extern const std::span<const ui::Binding> kAboutWindowBindings;
