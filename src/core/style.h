#pragma once

/// Placeholder for shared window styling; it holds nothing yet.
class style
{
public:
    style() = default;
};
