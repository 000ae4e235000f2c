#include "shell/Previous.h"

int main(int argc, char** argv) {
    return kdt::gui::RunKdtGui(argc, argv);
}
