#include "platform/Texts.h"

namespace tolvar {

std::string LoadText(TextId id) { return std::string(BuiltInText(id)); }

}  // namespace tolvar
