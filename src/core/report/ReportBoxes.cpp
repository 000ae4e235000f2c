#include "report/ReportBoxes.h"

namespace kdt {

ReportBoxes AvailableReportBoxes(const TSignalPlan& plan) {
    ReportBoxes boxes{};
    boxes.fill(true);
    boxes[11 - 1] = plan.NetworkType == 3;
    boxes[12 - 1] = plan.RomVersion > 2;
    boxes[13 - 1] = plan.RomVersion > 4;
    boxes[14 - 1] = plan.RomVersion > 4;
    boxes[kCrossingPictureBox - 1] = false;
    return boxes;
}

ReportBoxes DefaultReportBoxes() {
    ReportBoxes boxes{};
    for (int n = 1; n <= 9; ++n) boxes[n - 1] = true;
    return boxes;
}

ReportSections SectionsOf(const ReportBoxes& boxes) {
    ReportSections sections{};
    for (int n = 0; n < kReportSectionCount; ++n) sections[n] = boxes[n];
    return sections;
}

}  // namespace kdt
