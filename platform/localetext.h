#pragma once
// Time and date as the user's locale writes them, for texts that people read (the log).
#include <string>

namespace platform {

struct ClockTime {
    int year = 1970, month = 1, day = 1;  // month and day from 1
    int hour = 0, minute = 0, second = 0;
};

// The local wall clock now.
ClockTime LocalNow();

// The locale's long time format without its time-zone part: "14:03:27" (German),
// "2:03:27 PM" (US English). An empty locale name means the user's locale.
std::string LongTimeText(const ClockTime& t, const std::string& locale = {});
// The locale's short numeric date: "26.01.99" (German), "1/26/99" (US English); where the
// locale's short date is not numeric (the C locale), "1999-01-26".
std::string ShortDateText(const ClockTime& t, const std::string& locale = {});

}  // namespace platform
