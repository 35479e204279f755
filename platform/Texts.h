// The program's own texts, by identifier. The Windows programs read them from
// their string table (so a translated table replaces them); elsewhere they come
// from the built-in copy. Both are generated from resources/Texts.def.
#pragma once

#include <string>
#include <string_view>

namespace tolvar {

enum class TextId : unsigned {
#define TOLVAR_TEXT(id, name, text) name = id,
#include "resources/Texts.def"
#undef TOLVAR_TEXT
};

// The text as the program shows it (UTF-8).
std::string LoadText(TextId id);

// The built-in copy of a text; empty for an unknown identifier.
std::string_view BuiltInText(TextId id);

}  // namespace tolvar
