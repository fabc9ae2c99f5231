// The top floor.
#include "colour/model.h"
