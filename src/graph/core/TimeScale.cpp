// The graph's time scale: the list's items, the choice of one, and the sample-to-pixel mapping.
#include "graph/core/TimeScale.h"

#include "graph/core/GraphData.h"

namespace vexa {

const std::array<TimeScaleItem, 16>& TimeScaleItems() {
    static const std::array<TimeScaleItem, 16> items = {{
        {"0.01秒", 2, 100},
        {"0.1秒", 25, 100},
        {"0.2秒", 50, 100},
        {"0.5秒", 125, 100},
        {"秒", 250, 100},
        {"10秒", 25, 1},
        {"30秒", 75, 1},
        {"分", 150, 1},
        {"10分", 1500, 1},
        {"30分", 4500, 1},
        {"時間", 9000, 1},
        {"2時間", 18000, 1},
        {"3時間", 27000, 1},
        {"6時間", 54000, 1},
        {"12時間", 108000, 1},
        {"日", 216000, 1},
    }};
    return items;
}

std::optional<TimeScaleItem> FindTimeScaleItem(std::string_view text) {
    for (const TimeScaleItem& item : TimeScaleItems())
        if (text == item.text) return item;
    return std::nullopt;
}

TimeScaleChoice ChooseTimeScale(std::string_view itemText, std::string_view divisorText,
                                const TimeScale& current) {
    TimeScaleChoice choice{current, std::string(divisorText), {}};
    TimeScale next = current;
    if (const std::optional<TimeScaleItem> item = FindTimeScaleItem(itemText)) {
        choice.divisorText = std::to_string(item->divisor);
        next.K = item->K;
        next.N = 10;
    }
    const std::optional<int> s = StrictInteger(choice.divisorText);
    if (!s || *s <= 0) {
        choice.error = "'" + choice.divisorText + "' is not a time divisor (a whole number above 0)";
        return choice;
    }
    next.S = *s;
    choice.scale = next;
    return choice;
}

} // namespace vexa
