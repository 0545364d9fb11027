#include "foldedtexts.h"

#include "searchfold.h"

#include <algorithm>
#include <future>
#include <system_error>
#include <thread>

void FoldedTexts::build(qint32 count, const TextOf& textOf) {
    constexpr qint32 worthSplitting = 100000;
    *this = {};
    if (count < worthSplitting || std::thread::hardware_concurrency() < 2) {
        buildPart(0, count, textOf);
        return;
    }
    const qint32 middle = count / 2;
    FoldedTexts secondHalf;
    std::future<void> second;
    try {
        second =
            std::async(std::launch::async, [&] { secondHalf.buildPart(middle, count, textOf); });
    } catch (const std::system_error&) { // no thread to be had: fold on this one
        buildPart(0, count, textOf);
        return;
    }
    buildPart(0, middle, textOf);
    second.get();
    append(secondHalf);
}

void FoldedTexts::buildPart(qint32 begin, qint32 end, const TextOf& textOf) {
    for (qint32 i = begin; i < end; ++i)
        add(i, textOf(i));
}

void FoldedTexts::add(qint32 index, const QString& text) {
    if (text.isEmpty())
        return;
    // Tracks of one album share their artist and album texts, one after another.
    if (text.constData() == m_lastText && text.size() == m_lastSize) {
        if (m_lastKept) {
            m_indexes.push_back(index);
            m_spans.push_back(m_spans.back());
        }
        return;
    }
    m_lastText = text.constData();
    m_lastSize = text.size();
    m_lastKept = !isAscii(text);
    if (!m_lastKept)
        return;
    const QString folded = searchFolded(text);
    m_indexes.push_back(index);
    m_spans.push_back({qint32(m_chars.size()), qint32(folded.size())});
    m_chars.append(reinterpret_cast<const char16_t*>(folded.constData()), size_t(folded.size()));
}

void FoldedTexts::append(const FoldedTexts& next) {
    const auto offset = qint32(m_chars.size());
    m_indexes.insert(m_indexes.end(), next.m_indexes.begin(), next.m_indexes.end());
    for (const Span& span : next.m_spans)
        m_spans.push_back({span.start + offset, span.length});
    m_chars += next.m_chars;
    m_lastText = next.m_lastText;
    m_lastSize = next.m_lastSize;
    m_lastKept = next.m_lastKept;
}

FoldedTexts::Reader::Reader(const FoldedTexts& texts, qint32 begin)
    : m_texts(texts),
      m_next(size_t(std::lower_bound(texts.m_indexes.begin(), texts.m_indexes.end(), begin) -
                    texts.m_indexes.begin())) {}

const std::u16string_view* FoldedTexts::Reader::at(qint32 index) {
    const std::vector<qint32>& indexes = m_texts.m_indexes;
    while (m_next < indexes.size() && indexes[m_next] < index)
        ++m_next;
    if (m_next == indexes.size() || indexes[m_next] != index)
        return nullptr;
    const Span span = m_texts.m_spans[m_next++];
    m_current =
        std::u16string_view(m_texts.m_chars).substr(size_t(span.start), size_t(span.length));
    return &m_current;
}
