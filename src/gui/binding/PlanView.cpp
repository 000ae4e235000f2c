#include "binding/PlanView.h"

namespace kdt::gui {
namespace {

QStringList NumberedNames(const QString& prefix, int count) {
    QStringList names;
    for (int n = 1; n <= count; ++n) names << prefix + QString::number(n);
    return names;
}

}  // namespace

QStringList PhaseNameList(const TSignalPlan& plan) {
    return NumberedNames(QStringLiteral("Фаза "), PhaseRows(plan));
}

QStringList ProgramNameList(const TSignalPlan& plan) {
    return NumberedNames(QStringLiteral("АПП "), ProgramRows(plan));
}

}  // namespace kdt::gui
