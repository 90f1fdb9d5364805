#pragma once

#include <QString>
#include <optional>

#include "state/App_State.h"

// Tessaro.xml beside the executable: the open configuration, the last device address, the
// language and four options.

// Reads the settings into state, each value on its own with its own default. Returns a problem
// worth reporting (a file that exists but cannot be read or parsed); the defaults then apply.
std::optional<QString> Load_Setting(App_State& state);

// The file's content for the current state.
QByteArray Setting_Bytes(const App_State& state);

// Writes the whole file; returns the reason when it could not be written.
std::optional<QString> Save_Setting(const App_State& state);
