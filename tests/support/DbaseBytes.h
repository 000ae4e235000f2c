// dBase III tables made from bytes, for tests whose fixture is clearer as a
// few rows in the test than as a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kdt::test {

struct FieldDef {
    std::string name;
    char type;
    std::uint8_t length;
};

struct Row {
    bool deleted;
    std::vector<std::string> cells;  // padded with blanks to the field length
};

inline void PutLe(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void PutBe(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * (size - 1 - i)));
}

inline std::vector<std::uint8_t> TableBytes(std::uint8_t version, const std::vector<FieldDef>& fields,
                                            const std::vector<Row>& rows) {
    std::size_t recordLength = 1;
    for (const FieldDef& field : fields) recordLength += field.length;
    const std::size_t headerLength = 32 + 32 * fields.size() + 1;
    std::vector<std::uint8_t> bytes(32, 0);
    bytes[0] = version;
    PutLe(bytes, 4, static_cast<std::uint32_t>(rows.size()), 4);
    PutLe(bytes, 8, static_cast<std::uint32_t>(headerLength), 2);
    PutLe(bytes, 10, static_cast<std::uint32_t>(recordLength), 2);
    for (const FieldDef& field : fields) {
        std::vector<std::uint8_t> descriptor(32, 0);
        std::copy(field.name.begin(), field.name.end(), descriptor.begin());
        descriptor[11] = static_cast<std::uint8_t>(field.type);
        descriptor[16] = field.length;
        bytes.insert(bytes.end(), descriptor.begin(), descriptor.end());
    }
    bytes.push_back(0x0D);
    for (const Row& row : rows) {
        bytes.push_back(row.deleted ? '*' : ' ');
        for (std::size_t f = 0; f < fields.size(); ++f) {
            std::string cell = f < row.cells.size() ? row.cells[f] : "";
            cell.resize(fields[f].length, ' ');
            bytes.insert(bytes.end(), cell.begin(), cell.end());
        }
    }
    bytes.push_back(0x1A);
    return bytes;
}

}  // namespace kdt::test
