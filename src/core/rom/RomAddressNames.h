// What a byte of a ROM image holds, by its address, in the plan's words:
// for a user who is told that the controller's image differs there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kdt {

// "программа 2, длительность фазы такта 3", "таблица периодов ТВП кнопки 1,
// программа 4", ...; "вне разметки" past the layout, and an empty text for a
// RomVersion that names no ROM type.
std::string RomAddressName(std::uint8_t romVersion, std::size_t address);

}  // namespace kdt
