#pragma once

struct sqlite3;

// The collation of every text column: ASCII letters compare without regard to case, hanzi by
// their GBK code (which puts level-1 hanzi in pinyin order), characters GBK lacks after all
// others by code point. Texts are compared as UTF-8 without conversion.
namespace Pinyin {

inline constexpr const char *collationName = "PINYIN";

int compare(const char *a, int lengthA, const char *b, int lengthB);

// Registers the collation on a connection; returns an SQLite result code.
int registerCollation(sqlite3 *db);

} // namespace Pinyin
