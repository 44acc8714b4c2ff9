#include "app/core/navigation.h"

#include "storage/text.h"

namespace vornel::nav {

bool opensArchive(Button button, const QString& shownPosition)
{
    return !(button == Button::Previous && trimmed(shownPosition) == QLatin1String("1"));
}

Step step(Button button, const QString& shownPosition, qint64 count)
{
    const QString shown = trimmed(shownPosition);
    const qint64 p = shown.toLongLong(); // empty (a blank card) reads as 0
    if (!opensArchive(button, shown))
        return {};
    if (count <= 0)
        return {Step::EmptyArchive, 0, button == Button::Next};
    switch (button) {
    case Button::First:
        return {Step::Load, 1};
    case Button::Last:
        return {Step::Load, count};
    case Button::Next:
        return p < count ? Step{Step::Load, p + 1} : Step{};
    case Button::Previous:
        return {Step::Load, (shown.isEmpty() || p <= 2) ? 1 : p - 1};
    }
    return {};
}

} // namespace vornel::nav
