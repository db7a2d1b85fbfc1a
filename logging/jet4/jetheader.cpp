#include "logging/jet4/jetheader.h"

#include "logging/jet4/jetbytes.h"

#include <array>

namespace qmx {

namespace {

constexpr int kMaskedStart = 0x18;
constexpr int kMaskedLength = 128;

// Bytes 0x18 to 0x97 are stored XORed with the RC4 keystream of this key.
QByteArray keystream() {
    const std::array<quint8, 4> key{0xC7, 0xDA, 0x39, 0x6B};
    std::array<quint8, 256> s{};
    for (int i = 0; i < 256; ++i) {
        s[size_t(i)] = quint8(i);
    }
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[size_t(i)] + key[size_t(i % 4)]) % 256;
        std::swap(s[size_t(i)], s[size_t(j)]);
    }
    QByteArray out(kMaskedLength, 0);
    for (int n = 0, i = 0, j = 0; n < kMaskedLength; ++n) {
        i = (i + 1) % 256;
        j = (j + s[size_t(i)]) % 256;
        std::swap(s[size_t(i)], s[size_t(j)]);
        out[n] = char(s[size_t((s[size_t(i)] + s[size_t(j)]) % 256)]);
    }
    return out;
}

void put(QByteArray& page, int at, const QByteArray& bytes) {
    page.replace(at, bytes.size(), bytes);
}

} // namespace

QByteArray JetHeader::Page() {
    QByteArray page(Jet::kPageSize, 0);
    put(page, 0x00, QByteArray::fromHex("00010000") + "Standard Jet DB");
    page[0x14] = 1; // Jet 4
    put(page, 0x18, QByteArray::fromHex("000100000101000002000000030000000400000005000000"));
    put(page, 0x3C, QByteArray::fromHex("e404"));                  // code page 1252
    put(page, 0x42, QByteArray::fromHex("62a70000").repeated(10)); // empty password
    put(page, 0x6A, QByteArray::fromHex("a611"));
    put(page, 0x6E, QByteArray::fromHex("0904"));             // General sort order
    put(page, 0x72, QByteArray::fromHex("81afd46b4fece440")); // creation date
    put(page, 0x98, QByteArray::fromHex("54060000") + QByteArray("4.0", 4));
    put(page, 0xE00, QByteArray::fromHex("0101") + QByteArray::fromHex("0001").repeated(255));
    const QByteArray mask = keystream();
    for (int i = 0; i < kMaskedLength; ++i) {
        page[kMaskedStart + i] = char(page[kMaskedStart + i] ^ mask[i]);
    }
    return page;
}

} // namespace qmx
