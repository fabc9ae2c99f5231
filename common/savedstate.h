// SPDX-License-Identifier: MIT
#pragma once

#include "common/settingsstore.h"

/// @brief Everything the program keeps in the settings file between runs,
/// declared once, in one table (savedstate.cpp): its section, its key, the
/// value a missing key gives, and the bounds a stored value is held to.
namespace savedstate {

enum class Value {
    Red,            ///< Color/Red: the colour at the last close, 0..255
    Green,          ///< Color/Green
    Blue,           ///< Color/Blue
    LetterCase,     ///< Check/Komozi: the main window's letter-case option, 0..2
    Top,            ///< Position/Top: the main window's outer top, in twips
    Left,           ///< Position/Left: its outer left, in twips
    PaletteOpen,    ///< Position/ColorP: the palette window was open at the last close
    InFront,        ///< Setting/Top: keep the main window in front of all others
    HideDokodemo,   ///< Setting/HideDokodemo: hide the main window for the eyedropper
    Uses,           ///< Use/NumberOfUse: how many times the program has started
    BodyLetterCase, ///< Body/Komozi: the BODY tag editor's letter-case option, 0..2
};

/// Reads @p value: the stored integer held to its bounds, or its default
/// when the key is missing.
int Read(settings::SettingsStore &store, Value value);

/// Writes @p number as @p value's text; the result says whether it reached the file.
[[nodiscard]] settings::WriteResult Write(settings::SettingsStore &store, Value value, int number);

} // namespace savedstate
