#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>

// The chained byte cipher of the enciphered text fields. Works on bytes (the
// GB18030 form of the text) and produces or reads upper-case hex.
// Pure functions: callable from any thread.

// Every stored field is deciphered with this key and a non-encoding mode.
inline constexpr char kFieldKey[] = "tqd";
inline constexpr char kDecodeMode = 'x';
inline constexpr char kEncodeMode = 'a';

// Supplies the seed byte of an encoding; tests inject a fixed one.
using CipherSeedSource = std::function<std::uint8_t()>;

// Mode 'a' enciphers `source` (a fresh random seed each call); any other mode
// deciphers hex text. An empty key stands for the built-in default key.
// Deciphering returns "-1" for any character that is not 0-9 or A-F, and ""
// for blank input, for a seed without data and for the blank-text sentinel.
QByteArray CipherText(const QByteArray& source, const QByteArray& key, char mode);
QByteArray CipherText(const QByteArray& source, const QByteArray& key, char mode,
                      const CipherSeedSource& seed);
