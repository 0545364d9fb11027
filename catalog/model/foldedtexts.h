#pragma once

#include <QString>
#include <functional>
#include <string_view>
#include <vector>

// The folded forms (searchFolded) of one text field of a list, made once for all searches.
// Most names are ASCII, whose folded form is the text itself with its capitals read as small
// letters: those are left out, and only the others are kept, side by side in one block, in
// list order.
class FoldedTexts {
public:
    using TextOf = std::function<const QString&(qint32 index)>;
    // Folds the texts of records [0, count), `textOf(i)` being record i's text; a large list
    // in two halves at once.
    void build(qint32 count, const TextOf& textOf);

    // Reads the folded forms of records taken in rising order from `begin`.
    class Reader {
    public:
        Reader(const FoldedTexts& texts, qint32 begin);
        // Record `index`'s folded text when it is not ASCII, else null.
        const std::u16string_view* at(qint32 index);

    private:
        const FoldedTexts& m_texts;
        size_t m_next;
        std::u16string_view m_current;
    };

    size_t size() const { return m_indexes.size(); }

private:
    void buildPart(qint32 begin, qint32 end, const TextOf& textOf);
    void add(qint32 index, const QString& text);
    // Appends another part's texts, whose records follow this part's.
    void append(const FoldedTexts& next);

    struct Span {
        qint32 start;
        qint32 length;
    };
    std::vector<qint32> m_indexes; // the records that are not ASCII, rising
    std::vector<Span> m_spans;     // each one's folded text in m_chars
    std::u16string m_chars;
    // The text of the record before: shared texts (an album's artist) are looked at once.
    const QChar* m_lastText = nullptr;
    qsizetype m_lastSize = 0;
    bool m_lastKept = false;
};
