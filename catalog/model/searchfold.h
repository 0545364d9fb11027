#pragma once

#include <QString>
#include <QStringView>

// A text as a search compares it: case folded, and without the accents and other marks that
// Unicode decomposition separates from their letters, so that "Édith", "EDITH" and "edith"
// read alike and "Ångström" reads "angstrom". Compatibility forms fold to their plain letters
// ("ﬁ" reads "fi").
QString searchFolded(QStringView text);

// Whether every character of `text` is ASCII: such a text folds by its case alone.
bool isAscii(QStringView text);

// The ASCII folding: capitals to small letters, everything else as it is.
inline char16_t asciiFolded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}
