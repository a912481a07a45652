#include "assets/ByteReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(ByteReader, DecodesLittleEndianValuesAtUnalignedOffsets) {
    std::vector<unsigned char> bytes{0xAA};  // pushes every later value off alignment
    appendInt32LE(bytes, -2);
    appendDoubleLE(bytes, -1.5);
    appendInt32LE(bytes, 0x12345678);
    bytes.push_back(0x80);
    ASSERT_EQ(bytes.size(), 1u + 4 + 8 + 4 + 1);
    // Byte order as written: least significant byte first.
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(bytes[4], 0xFF);
    EXPECT_EQ(bytes[13], 0x78);
    EXPECT_EQ(bytes[16], 0x12);
    // -1.5 is 0xBFF8000000000000: the sign and exponent sit in the last byte.
    EXPECT_EQ(bytes[12], 0xBF);
    EXPECT_EQ(bytes[11], 0xF8);

    ByteReader in(bytes.data(), bytes.data() + bytes.size());
    EXPECT_EQ(in.readUint8(), 0xAA);
    EXPECT_EQ(in.readInt32(), -2);
    EXPECT_EQ(in.readDouble(), -1.5);
    EXPECT_EQ(in.readInt32(), 0x12345678);
    EXPECT_EQ(in.readInt8(), -128);
    EXPECT_TRUE(in.ok());
    EXPECT_EQ(in.remaining(), 0u);
}

TEST(ByteReader, DoublesKeepEveryBit) {
    const double values[] = {0.1, -0.0, 1e308, std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::infinity()};
    std::vector<unsigned char> bytes;
    for (double v : values) appendDoubleLE(bytes, v);
    for (std::size_t i = 0; i < 5; ++i) {
        const double got = loadDoubleLE(bytes.data() + 8 * i);
        EXPECT_EQ(got, values[i]);
        EXPECT_EQ(std::signbit(got), std::signbit(values[i]));
    }
}

TEST(ByteReader, ReadingPastTheEndFailsForGood) {
    const unsigned char bytes[] = {1, 2, 3, 4, 5, 6};
    ByteReader in(bytes, bytes + 6);
    EXPECT_EQ(in.readInt32(), 0x04030201);
    EXPECT_EQ(in.readInt32(), 0);  // only 2 bytes left
    EXPECT_FALSE(in.ok());
    EXPECT_EQ(in.remaining(), 2u);  // the failed read consumed nothing
    EXPECT_EQ(in.readUint8(), 0);   // and the reader stays failed
    EXPECT_FALSE(in.skip(0));

    ByteReader skipper(bytes, bytes + 6);
    EXPECT_TRUE(skipper.skip(6));
    EXPECT_FALSE(skipper.skip(1));
    EXPECT_EQ(skipper.readDouble(), 0.0);
    EXPECT_FALSE(skipper.ok());
}
