#include "searchfold.h"

namespace {

// Accents and the like. A spacing mark stays: in the scripts that have them it is a vowel,
// part of the word.
bool isMark(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing;
}

// The decomposed text without its marks; a pair of surrogates is one character.
QString withoutMarks(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        const QChar c = decomposed[i];
        if (c.isHighSurrogate() && i + 1 < decomposed.size() &&
            decomposed[i + 1].isLowSurrogate()) {
            if (!isMark(QChar::surrogateToUcs4(c, decomposed[i + 1])))
                bare.append(c).append(decomposed[i + 1]);
            ++i;
        } else if (!isMark(c.unicode())) {
            bare.append(c);
        }
    }
    return bare;
}

} // namespace

bool isAscii(QStringView text) {
    char16_t high = 0;
    for (const QChar c : text)
        high |= c.unicode();
    return high < 0x80;
}

// Folding the case may bring back a letter that decomposes ("ǰ" folds to "j" and a caron),
// hence the second pass.
QString searchFolded(QStringView text) {
    if (isAscii(text)) {
        QString folded(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            folded[i] = QChar(asciiFolded(text[i].unicode()));
        return folded;
    }
    const QString folded = withoutMarks(text.toString()).toCaseFolded();
    return isAscii(folded) ? folded : withoutMarks(folded);
}
