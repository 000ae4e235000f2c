#include "rom/RomAddressNames.h"

#include "rom/RomLayout.h"

namespace kdt {
namespace {

std::string N(std::size_t zeroBased) {
    return std::to_string(zeroBased + 1);
}

constexpr const char* kMaskNames[] = {"уставка \"Голова\"", "уставка \"Зеленые\"", "уставка \"Красные\"",
                                      "уставка \"Хвост\"", "уставка \"Мигания\""};
constexpr const char* kDurationNames[] = {"длительность \"Голова\"", "длительность \"Хвост\"",
                                          "доп.зеленый после зеленого", "доп.зеленый после красного",
                                          "число миганий зеленого"};
constexpr const char* kSettingNames[] = {"желтое мигание", "кругом красное", "конфликт зеленого",
                                         "конфликт красного"};
constexpr const char* kDays[] = {"вс", "пн", "вт", "ср", "чт", "пт", "сб"};

// A byte of a 4-byte mask: which mask, and which byte of it.
std::string MaskByte(const char* mask, std::size_t offset) {
    return std::string(mask) + ", байт " + N(offset % 4);
}

std::string ProgramByte(std::size_t offset) {
    const std::size_t program = offset / kProgramRecordSize;
    const std::size_t at = offset % kProgramRecordSize;
    std::string name = "программа " + N(program) + ", ";
    if (at == 0) return name + "число тактов";
    if (at <= 16) return name + "фаза такта " + N(at - 1);
    if (at <= 32) return name + "длительность фазы такта " + N(at - 17);
    return name + "длительность промтакта такта " + N(at - 33);
}

std::string DirectionByte(const RomLayout& layout, std::size_t offset) {
    const std::size_t size = DirectionRecordSize(layout.directionRecord);
    const std::size_t at = offset % size;
    std::string name = "направление " + N(offset / size) + ", ";
    if (at < 20) return name + MaskByte(kMaskNames[at / 4], at);
    const std::size_t value = at - 20;
    if (layout.directionRecord == DirectionRecord::MasksHeadTail) return name + kDurationNames[value];
    if (value < 5) return name + kDurationNames[value];
    return name + kDurationNames[value - 5] + " РУ";
}

std::string SettingsByte(std::size_t offset) {
    return MaskByte(kSettingNames[offset / 4], offset);
}

// The counts, the minimum phase duration, the blink count and the green streets.
std::string CountsByte(std::size_t offset) {
    switch (offset) {
        case 0:
            return "всего фаз";
        case 1:
            return "всего направлений";
        case 2:
            return "минимальная длительность фазы";
        case 3:
            return "число миганий в конце фазы";
        default:
            return "зеленая улица фазы " + N(offset - kGreenStreetOffset);
    }
}

std::string Name(const RomLayout& layout, std::size_t a) {
    const bool is42x = layout.family == RomFamily::Rom42x;
    if (a == 0) return "период выхода из конфликта";
    if (a == 1) return "число повторов на конфликт";
    if (a < kProgramBlockAddress) {
        if (layout.networkHeadAt2) return "сетевой адрес в заголовке, байт " + N(a - 2);
        return a == 2 ? "тип ПЗУ" : "заполнитель 0xFF";
    }
    if (a < kCycleLineAddress) return ProgramByte(a - kProgramBlockAddress);
    if (a < kCycleLineAddress + 16) return "программа " + N(a - kCycleLineAddress) + ", цикл программы";
    if (is42x) {
        if (a < kCountsAddress42x) return SettingsByte(a - kMasksAddress42x);
        if (a < layout.directions) return CountsByte(a - kCountsAddress42x);
    } else {
        if (a < kMasksAddress41x) {
            const std::size_t offset = a - kButtonsAddress41x;
            const std::size_t at = offset % kButtonRecordSize41x;
            const std::string button = "кнопка ТВП " + N(offset / kButtonRecordSize41x) + ", ";
            if (at == 0) return button + "фаза";
            if (at == 1) return button + "длительность";
            return button + "уставка \"Ждите\", байт " + N(at - 2);
        }
        if (a < kCountsAddress41x) return SettingsByte(a - kMasksAddress41x);
        if (a < layout.directions) return CountsByte(a - kCountsAddress41x);
    }
    if (a < layout.phases) return DirectionByte(layout, a - layout.directions);
    const std::size_t phasesEnd = layout.phases + 16 * kPhaseRecordSize;
    if (a < phasesEnd) {
        const std::size_t offset = a - layout.phases;
        return "фаза " + N(offset / kPhaseRecordSize) + ", " +
               (offset % kPhaseRecordSize < 2 ? "направления" : "длительность промтакта после фазы");
    }
    if (is42x && a < layout.schedule) {
        if (a == kTvpInterfaceAddress) return "тип ТВП";
        if (a == kTvpInterfaceAddress + 1) return "всего кнопок ТВП";
        if (a < kTvpPeriodAddress) {
            const std::size_t offset = a - kTvpButtonsAddress;
            static constexpr const char* kButtonBytes[] = {"внедряется в фазу", "фаза", "длительность",
                                                           "резерв"};
            return "кнопка ТВП " + N(offset / 4) + ", " + kButtonBytes[offset % 4];
        }
        if (a < kInsertionMapAddress) {
            const std::size_t offset = a - kTvpPeriodAddress;
            return "таблица периодов ТВП кнопки " + N(offset / 16) + ", программа " + N(offset % 16);
        }
        if (a < kWaitMasksAddress) return "карта внедрения ТВП, фаза " + N(a - kInsertionMapAddress);
        const std::size_t offset = a - kWaitMasksAddress;
        return "кнопка ТВП " + N(offset / 4) + ", уставка \"Ждите\", байт " + N(offset % 4);
    }
    if (a < layout.coordinator) {
        const std::size_t offset = a - layout.schedule;
        static constexpr const char* kRowBytes[] = {"часы", "минуты", "состояние"};
        return "суточный график, " + std::string(kDays[offset / 48]) + ", строка " + N(offset % 48 / 3) +
               ", " + kRowBytes[offset % 3];
    }
    if (a < layout.powerOn) return "блок координатора, байт " + N(a - layout.coordinator);
    if (a == layout.powerOn) return "длительность состояния при включении";
    if (a == layout.powerOn + 1u) return "состояние при включении";
    if (a == layout.powerOn + 2u) return "тип ВПУ";
    if (layout.speedTable != 0 && a >= layout.speedTable && a < layout.speedTable + 8 * kSpeedRowSize) {
        const std::size_t offset = a - layout.speedTable;
        const std::size_t at = offset % kSpeedRowSize;
        const std::string row = "УСК, строка " + N(offset / kSpeedRowSize) + ", ";
        if (at == 0) return row + "часы";
        if (at == 1) return row + "минуты";
        return row + "скорость " + N(at - 2);
    }
    if (is42x && a == kOptionFlagsAddress) return "используются (УСк и ТОО, ДТ)";
    if (layout.extension421 && a >= kExtraLinesAddress && a < layout.imageSize) {
        if (a < kDetectorsAddress) {
            const std::size_t slot = (a - kExtraLinesAddress) / 16;
            return slot < 4 ? "дополнительно, TCP/IP" : "дополнительно, строка " + N(slot - 4);
        }
        if (a == kDetectorsAddress) return "число детекторов";
        if (a < kZonesAddress) return "детектор " + N(a - kDetectorsAddress - 1) + ", число зон";
        if (a < kLoadSumsAddress) {
            const std::size_t offset = a - kZonesAddress;
            return "детектор " + N(offset / 96) + ", зона " + N(offset % 96 / 2) + ", направления";
        }
        if (a < kPhaseMinTimeAddress) return "сумма загрузки программы " + N((a - kLoadSumsAddress) / 2);
        if (a < kPhaseMaxTimeAddress) return "минимальная длительность фазы " + N(a - kPhaseMinTimeAddress);
        if (a < kProgramCountAddress) return "максимальная длительность фазы " + N(a - kPhaseMaxTimeAddress);
        return "всего программ";
    }
    return "вне разметки";
}

}  // namespace

std::string RomAddressName(std::uint8_t romVersion, std::size_t address) {
    const RomLayout* layout = RomLayoutFor(romVersion);
    return layout == nullptr ? std::string() : Name(*layout, address);
}

}  // namespace kdt
