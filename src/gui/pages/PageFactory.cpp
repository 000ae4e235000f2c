#include "pages/PageFactory.h"

#include "pages/ColoursPage.h"
#include "pages/CoordinatorPage.h"
#include "pages/DetectorsPage.h"
#include "pages/DirectionsPage.h"
#include "pages/MemoPage.h"
#include "pages/ParametersPage.h"
#include "pages/PedestrianPage.h"
#include "pages/PhasesPage.h"
#include "pages/ProgramsPage.h"
#include "pages/SchedulePage.h"
#include "pages/SpeedPage.h"

namespace kdt::gui {

Page* CreatePage(int number, PageContext& context, QWidget* frame) {
    switch (number) {
        case 1:
            return new ParametersPage(context, frame);
        case 2:
            return new ColoursPage(context, frame);
        case 3:
            return new DirectionsPage(context, frame);
        case 4:
            return new PhasesPage(context, frame);
        case 5:
            return new ProgramsPage(context, frame);
        case 6:
            return new PedestrianPage(context, frame);
        case 7:
            return new SchedulePage(context, frame);
        case 8:
            return new CoordinatorPage(context, frame);
        case 9:
            return new SpeedPage(context, frame);
        case 10:
            return new DetectorsPage(context, frame);
        case 11:
            return new MemoPage(context, frame);
        default:
            return nullptr;
    }
}

}  // namespace kdt::gui
