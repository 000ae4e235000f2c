#include "data/TypeKDT.h"

#include <algorithm>
#include <cstring>

namespace kdt {

std::string StoredText(const TString255& field) {
    return std::string(field.Text, field.Length);
}

void StoreText(TString255& field, std::string_view cp1251) {
    const std::size_t length = std::min<std::size_t>(cp1251.size(), sizeof field.Text);
    std::memset(field.Text, 0, sizeof field.Text);
    std::memcpy(field.Text, cp1251.data(), length);
    field.Length = static_cast<std::uint8_t>(length);
}

}  // namespace kdt
