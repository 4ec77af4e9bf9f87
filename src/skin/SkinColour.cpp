#include "skin/SkinColour.h"

#include <algorithm>

QColor ColourOf(const QString& text, const QColor& defaultColour)
{
    if (text.isEmpty())
        return defaultColour;
    const QString s = text.trimmed();
    int parts[3] = {0, 0, 0};
    int runs = 0;
    int value = 0;
    bool inRun = false;
    for (const QChar c : s) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            value = (value * 10 + (c.unicode() - '0')) % 256;
            inRun = true;
        } else if (inRun) {
            if (runs < 3)
                parts[runs] = value;
            ++runs;
            value = 0;
            inRun = false;
        }
    }
    if (inRun && runs == 2)
        parts[2] = value;
    return QColor(parts[0], parts[1], parts[2]);
}

QColor Blend(const QColor& a, const QColor& b, int weight)
{
    const int w = std::clamp(weight, 0, 255);
    auto mix = [w](int x, int y) { return (x * w + y * (255 - w)) / 255; };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

int Brightness(const QColor& c) { return (c.red() * 299 + c.green() * 587 + c.blue() * 114) / 1000; }
