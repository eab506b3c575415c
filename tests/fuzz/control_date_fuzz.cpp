// The control file's date and time texts, read with every date order and a few separators. A
// date that reads must survive the log's dd/mm/yyyy form and come back the same day.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScratchFolder.h"
#include "update/control/DateTime.h"

using namespace vyn;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char* const formats[] = {"dd/mm/yyyy", "mm/dd/yyyy", "yyyy/mm/dd", "", "m-d-y"};
  static const char separators[] = {'/', '.', '-', ':', ' ', '\0'};
  const std::string format = formats[data[0] % 5];
  const char separator = separators[(data[0] / 5) % 6];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  TDateTime date = 0;
  if (TryParseDate(text, format, separator, date)) {
    if (!std::isfinite(date) || date != std::floor(date)) fuzz::Fail("a date with a time: " + text);
    const std::string shown = FormatShortDate(date);
    TDateTime again = 0;
    if (!TryParseDate(shown, "dd/mm/yyyy", '/', again) || again != date)
      fuzz::Fail("'" + text + "' is shown as '" + shown + "', which reads otherwise");
    const TDateParts parts = DecodeDateTime(date);
    if (EncodeDateTime(parts.Year, parts.Month, parts.Day) != date)
      fuzz::Fail("calendar fields of '" + text + "' encode to another day");
  }
  TDateTime time = 0;
  if (TryParseTime(text, separator, time)) {
    if (!(time >= 0 && time < 1)) fuzz::Fail("a time outside one day: " + text);
    TDateTime again = 0;
    const std::string shown = FormatLongTime(time);
    if (!TryParseTime(shown, ':', again) || FormatLongTime(again) != shown)
      fuzz::Fail("'" + text + "' is shown as '" + shown + "', which reads otherwise");
  }
  return 0;
}
