// The eleven editor pages as the main window knows them: caption of the
// frame, item of the "Работа" menu, tool button hint, and when a page may be
// shown at all.
#pragma once

#include <array>
#include <string_view>

#include "data/TypeKDT.h"

namespace kdt::gui {

inline constexpr int kPageCount = 11;

struct PageInfo {
    int number;                 // 1..11, the page's tag
    std::string_view caption;   // the frame's caption, blanks included
    std::string_view menuText;  // its item in "Работа"
    std::string_view hint;      // tool button hint: short part, "|", long part
};

inline constexpr std::array<PageInfo, kPageCount> kPages = {{
    {1, " Параметры ", "Параметры", "Параметры|Основные параметры схемы организации движения (СОД)"},
    {2, " Определение цвета канала и уставки ", "Цвета и Уставки",
     "Цвета и уставки|Привязка цвета к каналу и формирование уставок"},
    {3, " Направления ", "Направления", "Направления|Привязка каналов к направлению"},
    {4, " Привязка направлений к фазе    и    \"зеленой улицы\" к фазе", "Фазы и Зеленые улицы",
     "Фазы и зеленые улицы|привязка направлений к фазе"},
    {5, " Программы ", "Программы", "Программы|Включение фаз в программу АПП"},
    {6, " Табло вызова пешеходом (Уставка ждите)", "Табло вызова пешеходами",
     "Табло вызова пешеходом|Привязка кнопки ТВП к фазе и установка длительности"},
    {7, " Суточный график ", "Суточный график и Включение",
     "Суточный график|Суточный и недельный график переключения программ"},
    {8, " Координатор ", "Координатор",
     "Координатор|Программирование контроллера как \"псевдо координирующего центра\""},
    {9, " Параметры Динамического Указателя Скорости (УСк) ", "Параметры УСк", "Указатель скорости"},
    {10, " Параметры Детекторов Транспорта", "Параметры ДТ", "Детекторы транспорта"},
    {11, " Дополнительные параметры / Мемо поля ", "Доп.Параметры / Мемо поля",
     "Дополнительные параметры / Мемо поля"},
}};

// "Работа" lists the schedule page before the pedestrian page, a separator between them.
inline constexpr std::array<int, kPageCount> kPagesMenuOrder = {1, 2, 3, 4, 5, 7, 6, 8, 9, 10, 11};
inline constexpr int kPagesMenuSeparatorAfter = 7;

inline constexpr int kNetworkTypeLeading = 3;  // "ВЕДУЩИЙ": the coordinator page applies

// Whether the plan gives the page anything to edit.
bool PageEnabled(int number, const TSignalPlan& plan);

// The two parts of a hint: the tool tip before "|", the status bar text after
// it. A hint without "|" is both.
std::string_view HintShortPart(std::string_view hint);
std::string_view HintLongPart(std::string_view hint);

}  // namespace kdt::gui
