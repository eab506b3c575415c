#include "app/features/FeatureHelp.h"

#include <array>

namespace vyn {

int FeatureHelpPage(int tabIndex) {
  static constexpr std::array<int, 10> pages = {330720, 330729, 330730, 330731, 330732,
                                                330734, 330735, 330736, 330737, 330738};
  if (tabIndex < 0 || tabIndex >= int(pages.size()))
    return pages[0];
  return pages[size_t(tabIndex)];
}

QString FeatureHelpAddress(int tabIndex) {
  return QStringLiteral("%1/en-us/library/ee%2(v=vs.85).aspx")
      .arg(QString::fromLatin1(DocumentationLibrary))
      .arg(FeatureHelpPage(tabIndex));
}

}  // namespace vyn
