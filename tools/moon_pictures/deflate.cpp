#include "deflate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <queue>

namespace {

constexpr int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                   193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr int kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
constexpr size_t kMaxMatch = 258;
constexpr size_t kMaxDistance = 32768;

struct Token {
    uint16_t symbol;    // literal, or length symbol 257..285
    uint16_t distance;  // 0 for a literal
    uint16_t length;
};

int LengthIndex(int length) {
    int i = 28;
    while (kLengthBase[i] > length)
        --i;
    return i;
}

int DistanceIndex(int distance) {
    int i = 29;
    while (kDistanceBase[i] > distance)
        --i;
    return i;
}

// Code lengths of a Huffman code for the frequencies, none longer than `maxBits`.
std::vector<int> CodeLengths(std::vector<uint64_t> frequencies, int maxBits) {
    const size_t n = frequencies.size();
    std::vector<int> lengths(n, 0);
    while (true) {
        struct Node {
            uint64_t weight;
            int left, right;
        };
        std::vector<Node> nodes;
        using Entry = std::pair<uint64_t, int>;
        std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
        for (size_t s = 0; s < n; ++s)
            if (frequencies[s]) {
                nodes.push_back({frequencies[s], -1, static_cast<int>(s)});
                queue.push({frequencies[s], static_cast<int>(nodes.size() - 1)});
            }
        std::fill(lengths.begin(), lengths.end(), 0);
        if (nodes.empty())
            return lengths;
        if (nodes.size() == 1) {
            lengths[nodes[0].right] = 1;
            return lengths;
        }
        while (queue.size() > 1) {
            const Entry a = queue.top();
            queue.pop();
            const Entry b = queue.top();
            queue.pop();
            nodes.push_back({a.first + b.first, a.second, b.second});
            queue.push({a.first + b.first, static_cast<int>(nodes.size() - 1)});
        }
        // Depths by walking down from the root.
        int deepest = 0;
        std::vector<std::pair<int, int>> stack = {{queue.top().second, 0}};
        while (!stack.empty()) {
            const auto [index, depth] = stack.back();
            stack.pop_back();
            const Node& node = nodes[index];
            if (node.left < 0) {
                lengths[node.right] = depth;
                deepest = std::max(deepest, depth);
            } else {
                stack.push_back({node.left, depth + 1});
                stack.push_back({node.right, depth + 1});
            }
        }
        if (deepest <= maxBits)
            return lengths;
        for (uint64_t& f : frequencies)
            if (f)
                f = (f >> 1) | 1;  // flatten the distribution and try again
    }
}

// Canonical codes for the lengths (RFC 1951, 3.2.2).
std::vector<uint32_t> Codes(const std::vector<int>& lengths) {
    std::array<uint32_t, 17> count{}, next{};
    for (int l : lengths)
        if (l)
            ++count[l];
    uint32_t code = 0;
    for (int bits = 1; bits <= 16; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    std::vector<uint32_t> codes(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s])
            codes[s] = next[lengths[s]]++;
    return codes;
}

class CBitWriter {
public:
    explicit CBitWriter(std::vector<unsigned char>& output) : out(output) {}
    void Put(uint32_t value, int count) {
        bits |= static_cast<uint64_t>(value) << used;
        used += count;
        while (used >= 8) {
            out.push_back(static_cast<unsigned char>(bits & 0xFF));
            bits >>= 8;
            used -= 8;
        }
    }
    // Huffman codes go out most significant bit first.
    void PutCode(uint32_t code, int length) {
        uint32_t reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((code >> i) & 1u) << (length - 1 - i);
        Put(reversed, length);
    }
    void Flush() {
        if (used > 0)
            out.push_back(static_cast<unsigned char>(bits & 0xFF));
        bits = 0;
        used = 0;
    }

private:
    std::vector<unsigned char>& out;
    uint64_t bits = 0;
    int used = 0;
};

}  // namespace

std::vector<unsigned char> ZlibCompress(const unsigned char* data, size_t size, size_t pixelBytes, size_t rowBytes) {
    std::vector<Token> tokens;
    tokens.reserve(size / 8 + 16);
    std::vector<uint64_t> literalFrequency(286, 0), distanceFrequency(30, 0);
    size_t distances[3] = {1, pixelBytes, rowBytes};
    for (size_t i = 0; i < size;) {
        size_t bestLength = 0, bestDistance = 0;
        for (size_t d : distances) {
            if (d == 0 || d > i || d > kMaxDistance)
                continue;
            const size_t limit = std::min(kMaxMatch, size - i);
            size_t length = 0;
            while (length < limit && data[i + length] == data[i + length - d])
                ++length;
            if (length > bestLength) {
                bestLength = length;
                bestDistance = d;
            }
        }
        if (bestLength >= 3) {
            const int index = LengthIndex(static_cast<int>(bestLength));
            tokens.push_back({static_cast<uint16_t>(257 + index), static_cast<uint16_t>(bestDistance),
                              static_cast<uint16_t>(bestLength)});
            ++literalFrequency[257 + index];
            ++distanceFrequency[DistanceIndex(static_cast<int>(bestDistance))];
            i += bestLength;
        } else {
            tokens.push_back({data[i], 0, 1});
            ++literalFrequency[data[i]];
            ++i;
        }
    }
    ++literalFrequency[256];
    if (std::all_of(distanceFrequency.begin(), distanceFrequency.end(), [](uint64_t f) { return f == 0; }))
        distanceFrequency[0] = 1;  // a distance code must exist even when unused

    const std::vector<int> literalLengths = CodeLengths(literalFrequency, 15);
    const std::vector<int> distanceLengths = CodeLengths(distanceFrequency, 15);
    const std::vector<uint32_t> literalCodes = Codes(literalLengths), distanceCodes = Codes(distanceLengths);
    int literalCount = 286, distanceCount = 30;
    while (literalCount > 257 && literalLengths[literalCount - 1] == 0)
        --literalCount;
    while (distanceCount > 1 && distanceLengths[distanceCount - 1] == 0)
        --distanceCount;

    // The two code length lists, with runs of zeros shortened by symbols 17 and 18.
    std::vector<int> all(literalLengths.begin(), literalLengths.begin() + literalCount);
    all.insert(all.end(), distanceLengths.begin(), distanceLengths.begin() + distanceCount);
    std::vector<std::pair<int, int>> lengthSymbols;  // symbol, extra value
    std::vector<uint64_t> lengthFrequency(19, 0);
    for (size_t i = 0; i < all.size();) {
        size_t run = 0;
        while (i + run < all.size() && all[i + run] == 0 && run < 138)
            ++run;
        if (run >= 11) {
            lengthSymbols.push_back({18, static_cast<int>(run - 11)});
            i += run;
        } else if (run >= 3) {
            lengthSymbols.push_back({17, static_cast<int>(run - 3)});
            i += run;
        } else {
            lengthSymbols.push_back({all[i], 0});
            ++i;
        }
        ++lengthFrequency[lengthSymbols.back().first];
    }
    const std::vector<int> lengthLengths = CodeLengths(lengthFrequency, 7);
    const std::vector<uint32_t> lengthCodes = Codes(lengthLengths);
    int lengthCount = 19;
    while (lengthCount > 4 && lengthLengths[kCodeLengthOrder[lengthCount - 1]] == 0)
        --lengthCount;

    std::vector<unsigned char> out = {0x78, 0x01};
    CBitWriter writer(out);
    writer.Put(1, 1);  // the final block
    writer.Put(2, 2);  // dynamic Huffman codes
    writer.Put(static_cast<uint32_t>(literalCount - 257), 5);
    writer.Put(static_cast<uint32_t>(distanceCount - 1), 5);
    writer.Put(static_cast<uint32_t>(lengthCount - 4), 4);
    for (int i = 0; i < lengthCount; ++i)
        writer.Put(static_cast<uint32_t>(lengthLengths[kCodeLengthOrder[i]]), 3);
    for (const auto& [symbol, extra] : lengthSymbols) {
        writer.PutCode(lengthCodes[symbol], lengthLengths[symbol]);
        if (symbol == 17)
            writer.Put(static_cast<uint32_t>(extra), 3);
        else if (symbol == 18)
            writer.Put(static_cast<uint32_t>(extra), 7);
    }
    for (const Token& token : tokens) {
        writer.PutCode(literalCodes[token.symbol], literalLengths[token.symbol]);
        if (token.symbol > 256) {
            const int index = token.symbol - 257;
            writer.Put(static_cast<uint32_t>(token.length - kLengthBase[index]), kLengthExtra[index]);
            const int d = DistanceIndex(token.distance);
            writer.PutCode(distanceCodes[d], distanceLengths[d]);
            writer.Put(static_cast<uint32_t>(token.distance - kDistanceBase[d]), kDistanceExtra[d]);
        }
    }
    writer.PutCode(literalCodes[256], literalLengths[256]);
    writer.Flush();

    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size;) {
        const size_t end = std::min(size, i + 5552);
        for (; i < end; ++i) {
            a += data[i];
            b += a;
        }
        a %= 65521;
        b %= 65521;
    }
    const uint32_t adler = b << 16 | a;
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(adler >> shift));
    return out;
}
