// SPDX-License-Identifier: MIT
#pragma once

/// @brief Program-wide options held from start-up to close, as the integers
/// read from the settings file. Each counts as on exactly when it equals 1.
struct AppOptions
{
    int colorP = 0;       ///< the palette window was open at the last close
    int temae = 0;        ///< keep the main window in front of all others
    int hideDokodemo = 0; ///< hide the main window while the eyedropper runs
};
