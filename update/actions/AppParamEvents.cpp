#include "update/VudIvazoz.h"

namespace vyn {

void TVudIvazoz::DoSetAppParamBefore(std::string& Params) {
  if (OnSetAppParamBefore) OnSetAppParamBefore(*this, Params);
}

void TVudIvazoz::DoSetAppParamAfter(std::string& Params) {
  if (OnSetAppParamAfter) OnSetAppParamAfter(*this, Params);
}

}  // namespace vyn
