#pragma once
// Date-time helpers of the engine: conversion between TDateTime and calendar fields, reading
// the control file's date and time texts, and the fixed formats of the log and the date store.

#include <ctime>
#include <string>

#include "update/VudIvazoz.h"

namespace vyn {

struct TDateParts {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

TDateParts DecodeDateTime(TDateTime dt);
TDateTime NowDateTime();
TDateTime FileTimeToDateTime(std::time_t t);

// Day, month and year numbers separated by `separator`, in the order in which d, m and y first
// occur in `format`; two numbers take the current year; a year of one or two digits is put in
// the century window around the current year. False for anything else or an impossible date.
bool TryParseDate(const std::string& text, const std::string& format, char separator,
                  TDateTime& result);
// Hours with optional minutes and seconds separated by `separator`, optionally followed by
// AM or PM. The result is a fraction of a day.
bool TryParseTime(const std::string& text, char separator, TDateTime& result);

std::string FormatShortDate(TDateTime dt);  // dd/mm/yyyy
std::string FormatLongTime(TDateTime dt);   // hh:nn:ss
std::string FormatLogTimeStamp(TDateTime dt);  // dd/mm/yyyy hh:nn:ss

}  // namespace vyn
