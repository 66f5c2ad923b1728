// Sprite Demo: the program's entry is the demo's own.
#include "app/demo.h"

int main() {
    DemoMain();
    return 0;
}
