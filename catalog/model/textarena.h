#pragma once

#include "sharedtext.h"

#include <QString>
#include <string>
#include <vector>

// Texts stored side by side in shared blocks instead of in one heap block each: a million
// track names cost their characters, not a million allocations and their headers. Each text
// holds a reference to its block, so it stays valid for as long as any copy of it is kept,
// and a text that is changed gets a block of its own, as any QString does.
class TextArena {
public:
    TextArena() = default;
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;

    // `utf8` as a QString in the current block; bytes that are not UTF-8 become U+FFFD.
    QString add(const char* utf8, qsizetype size);

private:
    char16_t* room(qsizetype units);

    QString::DataPointer m_block; // holds one reference to the block being filled
    qsizetype m_used = 0;
};

// One shared copy of each distinct text: a million tracks name a few thousand artists.
// An open-addressing table, since the lookup runs for nearly every row of a large list.
class TextPool {
public:
    explicit TextPool(TextArena& arena) : m_arena(arena) {}
    SharedText intern(const char* utf8, int size);

private:
    struct Entry {
        size_t hash;
        std::string bytes;
        SharedText text;
    };
    void grow();

    TextArena& m_arena;
    std::vector<Entry> m_entries;
    std::vector<qint32> m_slots; // index into m_entries, or -1; a power of two long
    qint32 m_last = -1;          // the previous row's text: rows in table order often repeat it
};
