// SPDX-License-Identifier: MIT
#pragma once

/// @brief The program's version, as the build states it (the project
/// version in the top CMakeLists.txt). Read it here and nowhere else.
namespace programversion {

inline constexpr int kMajor = VANDREL_VERSION_MAJOR;
inline constexpr int kMinor = VANDREL_VERSION_MINOR;
inline constexpr int kRevision = VANDREL_VERSION_PATCH;

} // namespace programversion
