#include "archive/CabinetFileTime.h"

namespace vyn::archive {

std::time_t CabinetFileTime(const mscabd_file& file) {
  const std::time_t now = std::time(nullptr);
  if (file.date_m < 1 || file.date_m > 12 || file.date_d < 1 || file.time_h > 23 ||
      file.time_m > 59 || file.time_s > 59)
    return now;  // also the zero date, which has month and day 0
  std::tm moment{};
  moment.tm_year = file.date_y - 1900;
  moment.tm_mon = file.date_m - 1;
  moment.tm_mday = file.date_d;
  moment.tm_hour = file.time_h;
  moment.tm_min = file.time_m;
  moment.tm_sec = file.time_s;
  moment.tm_isdst = -1;
  const std::time_t result = std::mktime(&moment);
  // mktime moves a day past the month's end into the next month: such a date is not valid.
  if (result == static_cast<std::time_t>(-1) || moment.tm_mday != file.date_d) return now;
  return result;
}

}  // namespace vyn::archive
