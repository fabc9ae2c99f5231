// SPDX-License-Identifier: MIT
#pragma once

#include "colour/feedback.h"

class ClipboardSink;
class ColourChooser;
class ScreenCapture;
namespace settings {
class SettingsStore;
}

/// @brief What the windows use of the world outside them. The program wires
/// the real ones in main(); tests hand in their own.
struct Services
{
    settings::SettingsStore *settings = nullptr;
    ColourChooser *chooser = nullptr;
    ClipboardSink *clipboard = nullptr;
    ScreenCapture *capture = nullptr;
    Feedback feedback;
};
