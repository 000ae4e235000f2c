// The sixteen boxes of the report dialog: the fourteen sections of the text,
// the timing diagrams and the crossing picture, which boxes a plan offers and
// which are ticked when the dialog opens.
#pragma once

#include <array>

#include "data/TypeKDT.h"
#include "report/ReportText.h"

namespace kdt {

inline constexpr int kReportBoxCount = 16;
inline constexpr int kDiagramBox = 15;  // "Графика Сигнальных программ"
inline constexpr int kCrossingPictureBox = 16;  // "Графика Перекрёстка": never offered, draws nothing

// Box n at [n - 1].
using ReportBoxes = std::array<bool, kReportBoxCount>;

// The boxes the plan offers: the coordinator only for a plan that leads a
// network, the speed indicator from 4.1.3 on, detectors and additional
// parameters on 4.2.1 only.
ReportBoxes AvailableReportBoxes(const TSignalPlan& plan);
// Ticked at opening: the sections 1 to 9.
ReportBoxes DefaultReportBoxes();
// The text's section switches among the boxes.
ReportSections SectionsOf(const ReportBoxes& boxes);

}  // namespace kdt
