#include "textarena.h"

#include <QStringDecoder>
#include <algorithm>
#include <string_view>

namespace {

// Small enough that a few texts kept after their list is gone keep little memory alive.
constexpr qsizetype BlockUnits = 8192;

} // namespace

char16_t* TextArena::room(qsizetype units) {
    if (!m_block.d_ptr() || m_used + units > m_block.constAllocatedCapacity()) {
        auto [header, data] = QTypedArrayData<char16_t>::allocate(std::max(units, BlockUnits));
        if (!header)
            qBadAlloc();
        m_block = QString::DataPointer(header, data, 0);
        m_used = 0;
    }
    return m_block.data() + m_used;
}

QString TextArena::add(const char* utf8, qsizetype size) {
    if (size == 0)
        return QString::fromUtf8(utf8, 0);
    // UTF-8 never takes more UTF-16 units than bytes; one more for the terminating null that
    // QString::utf16() counts on.
    char16_t* const start = room(size + 1);
    char16_t* end = start + size;
    // Most texts are ASCII: widen every byte in one pass the compiler can vectorise, and decode
    // again only the rare text that turns out not to be.
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8);
    unsigned char high = 0;
    for (qsizetype i = 0; i < size; ++i) {
        start[i] = bytes[i];
        high |= bytes[i];
    }
    if (high & 0x80) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        end = reinterpret_cast<char16_t*>(
            decoder.appendToBuffer(reinterpret_cast<QChar*>(start), QByteArrayView(utf8, size)));
    }
    *end = u'\0';
    const qsizetype length = end - start;
    m_used += length + 1;
    m_block.d_ptr()->ref();
    return QString(QString::DataPointer(m_block.d_ptr(), start, length));
}

SharedText TextPool::intern(const char* utf8, int size) {
    const std::string_view bytes(utf8, size_t(size));
    if (m_last >= 0 && m_entries[size_t(m_last)].bytes == bytes)
        return m_entries[size_t(m_last)].text;
    if ((m_entries.size() + 1) * 2 > m_slots.size())
        grow();
    const size_t hash = std::hash<std::string_view>()(bytes);
    const size_t mask = m_slots.size() - 1;
    size_t slot = hash & mask;
    while (m_slots[slot] >= 0) {
        const Entry& entry = m_entries[size_t(m_slots[slot])];
        if (entry.hash == hash && entry.bytes == bytes) {
            m_last = m_slots[slot];
            return entry.text;
        }
        slot = (slot + 1) & mask;
    }
    m_last = m_slots[slot] = qint32(m_entries.size());
    m_entries.push_back({hash, std::string(bytes), m_arena.add(utf8, size)});
    return m_entries.back().text;
}

void TextPool::grow() {
    std::vector<qint32> table(std::max<size_t>(64, m_slots.size() * 2), -1);
    const size_t mask = table.size() - 1;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        size_t slot = m_entries[i].hash & mask;
        while (table[slot] >= 0)
            slot = (slot + 1) & mask;
        table[slot] = qint32(i);
    }
    m_slots.swap(table);
}
