#include "frontend/console.h"

int main() { return mavo::runConsole(); }
