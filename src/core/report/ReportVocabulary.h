// The words the report uses for the plan: section names, field labels and the
// names of coded values. The report prints them in its layouts and the plan
// comparison names its differences with them, so both speak alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/TypeKDT.h"

namespace kdt {

// The report's sections by switch number n at [n - 1], as the report dialog
// names its switches.
inline constexpr std::string_view kReportSectionNames[] = {"Параметры",
                                                           "Цвета",
                                                           "Уставки",
                                                           "Направления",
                                                           "Фазы",
                                                           "Зеленые улицы",
                                                           "Программы",
                                                           "Табло вызова пешеходом",
                                                           "Суточный график",
                                                           "Включение контроллера",
                                                           "План координации",
                                                           "УСК",
                                                           "Детекторы",
                                                           "Дополнительно"};

// Labels of the parameters section, in its order.
inline constexpr std::string_view kLabelChannelCount = "Число каналов";
inline constexpr std::string_view kLabelPhaseCount = "Всего фаз";
inline constexpr std::string_view kLabelDirectionCount = "Всего направлений";
inline constexpr std::string_view kLabelProgramCount = "Всего программ";
inline constexpr std::string_view kLabelTvpButtonCount = "Всего кнопок ТВП";
inline constexpr std::string_view kLabelMinPhaseDuration = "Минимальная длительность фазы";
inline constexpr std::string_view kLabelPhaseEndBlinkCount = "Число миганий в конце фазы";
inline constexpr std::string_view kLabelConflictExitPeriod = "Период выхода из конфликта";
inline constexpr std::string_view kLabelConflictRepeatCount = "Число повторов на конфликт";
inline constexpr std::string_view kLabelVpuInterface = "Тип ВПУ";
inline constexpr std::string_view kLabelTvpInterface = "Тип ТВП";
inline constexpr std::string_view kLabelNetworkType = "Работа контроллера в сети";
inline constexpr std::string_view kLabelNetworkAddress = "Адрес в сети";

// The header's labels.
inline constexpr std::string_view kLabelProjectName = "Имя проекта";
inline constexpr std::string_view kLabelComment = "Комментарий к файлу";
inline constexpr std::string_view kLabelRomVersion = "Версия ПЗУ пользователя";

// The channel settings, in the order of the settings section.
inline constexpr std::string_view kLabelYellowFlash = "Желтое мигание";
inline constexpr std::string_view kLabelAllRed = "Кругом красное";
inline constexpr std::string_view kLabelGreenConflict = "Конфликт зеленого";
inline constexpr std::string_view kLabelRedConflict = "Конфликт красного";

// A direction's durations and channel sets, quoted as the report quotes them.
inline constexpr std::string_view kLabelHead = "Голова";
inline constexpr std::string_view kLabelTail = "Хвост";
inline constexpr std::string_view kLabelGreens = "Зеленые";
inline constexpr std::string_view kLabelReds = "Красные";
inline constexpr std::string_view kLabelBlinks = "Мигания";
inline constexpr std::string_view kLabelExtraGreenAfterGreen = "Доп.зеленый после зеленого";
inline constexpr std::string_view kLabelExtraGreenAfterRed = "Доп.зеленый после красного";
inline constexpr std::string_view kLabelGreenBlinkCount = "Число миганий зеленого";
inline constexpr std::string_view kLabelSettings = "Уставки";
inline constexpr std::string_view kLabelManual = "РУ";
inline constexpr std::string_view kLabelWait = "Ждите";

inline constexpr std::string_view kLabelCycle = "Цикл программы";
inline constexpr std::string_view kLabelInsertPhase = "Внедряется в фазу";
inline constexpr std::string_view kLabelPowerOnState = "Состояние при включении";
inline constexpr std::string_view kLabelPowerOnDuration = "Длительность состояния";
inline constexpr std::string_view kLabelControllerCount = "Число контроллеров";
inline constexpr std::string_view kLabelTcpIp = "TCP/IP";

// Network types by NetworkType 0..5; any other value reads as the first.
inline constexpr std::string_view kNetworkTypeNames[] = {"НЕТ",     "ТСКУ",    "АСУДД",
                                                         "Ведущий", "Ведомый", "САУДТ \"НАРТ\""};
// Interface types of the ВПУ and the ТВП by value 0..1.
inline constexpr std::string_view kInterfaceNames[] = {"Параллельный", "Последовательный"};
// Channel colours by ChannelColour 0..3, without the report's column padding.
inline constexpr std::string_view kColourNames[] = {"Не используется", "Красный", "Желтый", "Зеленый"};
inline constexpr std::string_view kDayNames[kDayCount] = {"Воскресенье", "Понедельник", "Вторник", "Среда",
                                                          "Четверг",     "Пятница",     "Суббота"};
// The short day names of the editor's schedule page.
inline constexpr std::string_view kDayShortNames[kDayCount] = {"вс", "пн", "вт", "ср", "чт", "пт", "сб"};
// Schedule and power-on states 0..2 as the report writes them out.
inline constexpr std::string_view kStateNames[] = {"Отключенный светофор", "Кругом красное",
                                                   "Желтое мигание"};
// The same states and a signal program as the editor abbreviates them.
inline constexpr std::string_view kCommandShortNames[] = {"ОС", "КК", "ЖМ"};
inline constexpr std::string_view kProgramShortName = "АПП";

// "v4.2.1" for RomVersion 5; "?" and the code for a value that names no ROM type.
std::string RomVersionName(std::uint8_t romVersion);

}  // namespace kdt
