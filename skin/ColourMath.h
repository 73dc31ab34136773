#pragma once
// Colour arithmetic of the skinned tab control. Colours use the platform's RGB layout
// (0x00BBGGRR) but no Win32 type, so this builds and is tested natively too.

#include <cstdint>

namespace CommCtrl {

using ColourValue = std::uint32_t;

constexpr ColourValue MakeColour(int red, int green, int blue)
{
    return static_cast<ColourValue>(red & 0xFF) | (static_cast<ColourValue>(green & 0xFF) << 8) |
           (static_cast<ColourValue>(blue & 0xFF) << 16);
}
constexpr int RedOf(ColourValue colour)
{
    return static_cast<int>(colour & 0xFF);
}
constexpr int GreenOf(ColourValue colour)
{
    return static_cast<int>((colour >> 8) & 0xFF);
}
constexpr int BlueOf(ColourValue colour)
{
    return static_cast<int>((colour >> 16) & 0xFF);
}

// Each channel times the factor (at least 1), truncated; above 254 becomes 255.
inline ColourValue Lighter(ColourValue colour, double factor)
{
    if (factor < 1.0)
        factor = 1.0;
    auto channel = [factor](int value) {
        int scaled = static_cast<int>(value * factor);
        return scaled > 254 ? 255 : scaled;
    };
    return MakeColour(channel(RedOf(colour)), channel(GreenOf(colour)), channel(BlueOf(colour)));
}

// Each channel times the factor (between 0 and 1), truncated.
inline ColourValue Darker(ColourValue colour, double factor)
{
    if (factor > 1.0)
        factor = 1.0;
    if (factor < 0.0)
        factor = 0.0;
    auto channel = [factor](int value) { return static_cast<int>(value * factor); };
    return MakeColour(channel(RedOf(colour)), channel(GreenOf(colour)), channel(BlueOf(colour)));
}

// Line `line` of a vertical gradient `height` lines high, from `start` at the top towards `end`.
inline ColourValue GradientLine(ColourValue start, ColourValue end, int line, int height)
{
    if (height <= 0)
        return start;
    auto channel = [line, height](int from, int to) { return from + line * (to - from) / height; };
    return MakeColour(channel(RedOf(start), RedOf(end)), channel(GreenOf(start), GreenOf(end)),
                      channel(BlueOf(start), BlueOf(end)));
}

}  // namespace CommCtrl
