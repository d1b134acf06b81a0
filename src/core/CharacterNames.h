#pragma once

#include <QString>

// The names of the calculator's characters by code, for telling characters apart where their
// glyphs look alike: German from resources/hp48-charnames-de.tsv, English from the character
// table's own names (resources/hp48-charset.tsv), in lower case.
namespace hp48 {

// language: 0 German, 1 English (the program's language offset).
QString characterName(uchar code, int language);

} // namespace hp48
