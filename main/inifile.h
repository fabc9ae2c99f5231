// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <optional>
#include <string_view>

/// @brief The text of the settings file, line by line: finding a key's value
/// and setting it. Pure functions over the file's bytes; no file is touched.
///
/// The file is a list of lines. A line whose first non-blank character is '['
/// starts a section; its name runs to the first ']' (or the end of the line).
/// A line whose first non-blank character is ';' or '#' is a comment. Any other
/// line holding '=' is a key: the name is what stands before the first '=', the
/// value everything after it. Names are trimmed of spaces and tabs and compared
/// without regard to ASCII letter case. Only the first section of a name counts,
/// and in it only the first key of a name; everything else is carried along
/// untouched, byte for byte, when a value is written.
namespace settings::ini {

/// The bytes of @p bytes, without a copy.
std::string_view View(const QByteArray &bytes);

/// Names and values the program can write and read back: no blanks around a
/// name, no control characters, nothing that ends a name or a line early.
bool IsSectionName(std::string_view name);
bool IsKeyName(std::string_view name);
bool IsValueText(std::string_view value);

/// The integer value of @p key in @p section of @p data; nothing when the
/// file has no such key.
std::optional<int> ReadInt(std::string_view data, std::string_view section, std::string_view key);

/// The value of @p key in @p section of @p data as it stands, up to the end
/// of its line; nothing when the file has no such key.
std::optional<std::string_view> ReadText(std::string_view data, std::string_view section,
                                         std::string_view key);

/// @p data with @p key in @p section set to @p value: replaced in place, or
/// added at the end of the section (and the section at the end of the file).
/// Every other byte stays as it was.
QByteArray WithValue(std::string_view data, std::string_view section, std::string_view key,
                     std::string_view value);

} // namespace settings::ini
