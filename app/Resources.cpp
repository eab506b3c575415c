#include "app/Resources.h"

#include <QtGlobal>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void InitAppResources() { Q_INIT_RESOURCE(app); }

namespace vyn {

void EnsureAppResources() {
  static const bool registered = (InitAppResources(), true);
  (void)registered;
}

}  // namespace vyn
