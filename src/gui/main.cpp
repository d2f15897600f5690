// zambrix: the operator's window.
#include "gui/gui_app.h"

int main(int argc, char** argv) { return zambrix::gui::RunGui(argc, argv); }
