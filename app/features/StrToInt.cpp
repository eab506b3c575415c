#include "app/features/StrToInt.h"

#include <QRegularExpression>

#include <limits>

namespace vyn {

int32_t StrToInt(const QString& text) {
  static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
  bool ok = decimal.match(text).hasMatch();
  qlonglong value = 0;
  if (ok)
    value = text.toLongLong(&ok);
  if (!ok || value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    throw EConvertError(QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(text).toStdString());
  return int32_t(value);
}

}  // namespace vyn
