#pragma once

/// Heights shared by the tables, buttons and fields of every window.
class format_fields
{
public:
    int cell_height() const { return 28; } ///< table row and tool-bar height, pixels
    int button_height() const { return 28; } ///< button height, pixels
    int field_height() const { return 28; } ///< field height, pixels
};
