#pragma once
// Text to 32-bit integer conversion with the error the user sees for text that is not one.

#include <QString>

#include <cstdint>
#include <stdexcept>

namespace vyn {

class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Decimal digits with an optional sign; anything else (an empty text included, or a number
// beyond 32 bits) raises EConvertError "'<text>' n'est pas une valeur entière correcte".
int32_t StrToInt(const QString& text);

}  // namespace vyn
