#include "event_model.h"

#include <array>
#include <cstdio>
#include <tuple>
#include <utility>

namespace fuzz {

std::uint32_t Entropy::next()
{
    std::uint32_t value = 0;
    if (data) {
        for (int i = 0; i < 4; ++i)
            value = value << 8 | (offset < size ? data[offset++] : 0);
        return value;
    }
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return std::uint32_t((z ^ (z >> 31)) >> 32);
}

namespace {

    // A coordinate in sixteenths of a pixel, as fractional high-density positions arrive.
    double fractional(Entropy &e, int low, int high)
    {
        return low + e.below(std::uint32_t(high - low) * 16) / 16.0;
    }

    double coordinate(Entropy &e)
    {
        const std::uint32_t range = e.below(20);
        if (range == 0)
            return fractional(e, -1100000, 1100000); // far outside, as a long drag reports it
        if (range == 1)
            return fractional(e, -40000, 40000);
        if (range == 2)
            return double(e.below(3)) - 1; // on the edges: -1, 0, 1
        return fractional(e, -50, 1700);
    }

    // Empty, tiny, ordinary, very wide, very tall and very large client areas.
    std::pair<int, int> clientSize(Entropy &e)
    {
        static constexpr std::array<std::pair<int, int>, 14> kTelling {
            {{0, 0}, {1, 1}, {0, 541}, {900, 0}, {1, 541}, {900, 1}, {2, 2}, {900, 541}, {640, 480},
                {400, 600}, {1800, 500}, {30000, 3}, {3, 30000}, {4000, 3000}}};
        if (e.chance(50))
            return kTelling[e.below(kTelling.size())];
        return {int(e.below(1601)), int(e.below(1201))};
    }

    double farDistance(Entropy &e)
    {
        const double magnitude = e.chance(50) ? 1000000 : fractional(e, 0, 2000);
        return e.chance(50) ? magnitude : -magnitude;
    }

} // namespace

Event nextEvent(Entropy &e)
{
    Event event;
    // Pointer traffic dominates, as it does in a classroom.
    static constexpr std::array<std::uint8_t, 24> kWeights {
        {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 3, 4, 4, 4, 5, 6, 7, 8, 9, 10, 4}};
    event.kind = EventKind(kWeights[e.below(kWeights.size())]);
    if (event.kind == EventKind::Resize && e.chance(60))
        event.kind = EventKind::Move; // resizes are rarer still
    event.button = Button(e.below(kButtonCount));
    event.control = board::Control(e.below(board::kControlCount));
    event.key = Key(e.below(kKeyCount));
    event.nearA = e.chance(15);
    event.x = event.nearA ? fractional(e, -30, 30) : coordinate(e);
    event.y = event.nearA ? fractional(e, -40, 10) : coordinate(e);
    event.farX = farDistance(e);
    event.farY = farDistance(e);
    event.steps = 1 + int(e.below(4));
    event.repeat = e.chance(70) ? 1 : 1 + int(e.below(12));
    std::tie(event.width, event.height) = clientSize(e);
    return event;
}

std::string describe(const Event &event)
{
    static constexpr const char *kKinds[] = {"press", "move", "release", "double-click", "click",
        "key", "resize", "far-drag", "deactivate", "hide-show", "touch"};
    char text[200];
    std::snprintf(text, sizeof text,
        "%s button=%d control=%s x%d key=%d %s(%.4f, %.4f) far=(%.4f, %.4f) steps=%d size=%dx%d",
        kKinds[std::size_t(event.kind)], int(event.button), board::design(event.control).name,
        event.repeat, int(event.key), event.nearA ? "A+" : "", event.x, event.y, event.farX,
        event.farY, event.steps, event.width, event.height);
    return text;
}

} // namespace fuzz
