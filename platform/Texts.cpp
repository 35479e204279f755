#include "platform/Texts.h"

namespace tolvar {

std::string_view BuiltInText(TextId id) {
  switch (id) {
#define TOLVAR_TEXT(id, name, text) \
  case TextId::name:                \
    return text;
#include "resources/Texts.def"
#undef TOLVAR_TEXT
  }
  return {};
}

}  // namespace tolvar
