#pragma once

#include <QStringList>

// "veltra-course encode" and "veltra-course decode": the text-field cipher
// for course authors. Run on the main thread.
int RunEncode(QStringList args);
int RunDecode(QStringList args);

inline constexpr char kEncodeUsage[] =
    "  encode [--key K] [--seed N] TEXT\n"
    "      Prints the enciphered upper-case hex of TEXT's GB18030 bytes, as the\n"
    "      enciphered database fields hold it. Default key \"tqd\"; an empty key\n"
    "      means the built-in default key. --seed 0..255 fixes the otherwise\n"
    "      random seed, for reproducible output.\n";

inline constexpr char kDecodeUsage[] =
    "  decode [--key K] [--raw] HEX\n"
    "      Prints the text enciphered in HEX (upper-case digits, whole pairs) as\n"
    "      UTF-8. --raw writes the deciphered bytes unchanged instead.\n";
