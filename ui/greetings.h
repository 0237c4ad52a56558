// The start-up greetings of some dates: each a message box that waits for OK.
#pragma once

#include <string>
#include <vector>

namespace parlix {

enum class GreetingIcon { Information, Critical, None };

struct Greeting {
    std::wstring title;
    std::wstring text;
    GreetingIcon icon;
};

// The boxes to show, in order, on that date of the local clock (month 1-12, day 1-31).
[[nodiscard]] std::vector<Greeting> GreetingsFor(int month, int day);

}  // namespace parlix
