// An include that runs upward, for the floor check to refuse.
#include "main/window.h"
